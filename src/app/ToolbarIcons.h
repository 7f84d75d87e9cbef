#pragma once

#include <QIcon>

// The toolbar's 16 × 16 pictures, drawn rather than stored so they stay crisp at any scale.
namespace ToolbarIcons {
// By the button's tooltip ("New", "Bold", ...); an empty icon for an unknown name.
QIcon icon(const QString& tooltip);
// The frame's own icon.
QIcon frameIcon();
} // namespace ToolbarIcons
