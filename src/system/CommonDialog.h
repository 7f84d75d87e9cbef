#pragma once

#include <QString>

class QPrinter;

// The invisible dialog control: a bag of properties that keep their values from one use to the
// next, and Show* calls that put up the dialog through the desktop seam. With CancelError set, a
// cancelled dialog throws Error 32755; without it the properties are left as they were.
class CommonDialog {
public:
    QString Filter;
    QString FileName;
    QString DialogTitle;
    QString InitDir;
    int Flags = 0;
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
    // Action 1 is the open dialog, 2 save, 3 colour, 4 font, 5 printer (needs a printer).
    void setAction(int action);

private:
    void cancelled() const;
};
