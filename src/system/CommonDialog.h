#pragma once

#include "system/DialogCodes.h"

#include <QString>

class QPrinter;

// The dialogs CommonDialog::setAction shows, by the numbers the control's Action property takes.
enum class DialogAction { Open = 1, Save = 2, Color = 3, Font = 4, Print = 5 };

// The invisible dialog control: a bag of properties that keep their values from one use to the
// next, and Show* calls that put up the dialog through the desktop seam. With CancelError set, a
// cancelled dialog throws Error 32755; without it the properties are left as they were.
class CommonDialog {
public:
    QString Filter;
    QString FileName;
    QString DialogTitle;
    QString InitDir;
    DialogFlags::Flags Flags;
    bool CancelError = false;

    QString FontName;
    double FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;
    quint32 Color = 0;

    void ShowOpen();
    void ShowSave();
    void ShowFont();
    void ShowColor();
    void ShowPrinter(QPrinter& printer);
    // The printer dialog needs a printer: DialogAction::Print raises Invalid property value.
    void setAction(DialogAction action);

private:
    void cancelled() const;
};
