#include "system/MsgBox.h"

#include "system/Desktop.h"

int MsgBox(const QString& prompt, int style, const QString& title) {
    return DesktopSeam::current().messageBox(prompt, style, title);
}
