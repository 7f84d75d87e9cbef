#include "platform/MsgBox.h"

#include "platform/Desktop.h"

int MsgBox(const QString& prompt, int style, const QString& title) {
    return DesktopSeam::current().messageBox(prompt, style, title);
}
