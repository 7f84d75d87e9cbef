#include "system/MsgBox.h"

#include "system/Desktop.h"

MsgBoxResult MsgBox(const QString& prompt, MsgBoxStyle::Flags style, const QString& title) {
    return DesktopSeam::current().messageBox(prompt, style, title);
}
