#pragma once

class QWidget;
struct ScreenMetrics;

// What the program's dialogs share about their windows.
namespace DialogWindow {

// Centred across the screen with one third of the free height above the dialog and two thirds
// below it.
void placeOnScreen(QWidget& dialog, const ScreenMetrics& screen);

// The background picture (FXBack): a soft shade over the whole dialog, behind its controls. It
// is not opaque, so the dialog's own paint event still runs.
QWidget* addBackground(QWidget& dialog);

} // namespace DialogWindow
