#include "system/CommonDialog.h"

#include "system/Desktop.h"
#include "text/Error.h"

void CommonDialog::cancelled() const {
    if (CancelError)
        throw Error::cancelled();
}

void CommonDialog::ShowOpen() {
    const auto chosen = DesktopSeam::current().openFileName({DialogTitle, Filter, FileName, Flags});
    if (!chosen)
        return cancelled();
    FileName = *chosen;
}

void CommonDialog::ShowSave() {
    const auto chosen = DesktopSeam::current().saveFileName({DialogTitle, Filter, FileName, Flags});
    if (!chosen)
        return cancelled();
    FileName = *chosen;
}

void CommonDialog::ShowFont() {
    const FontChoice initial{FontName,      FontSize,       FontBold, FontItalic,
                             FontUnderline, FontStrikethru, Color};
    const auto chosen = DesktopSeam::current().chooseFont(initial, Flags);
    if (!chosen)
        return cancelled();
    FontName = chosen->name;
    FontSize = chosen->size;
    FontBold = chosen->bold;
    FontItalic = chosen->italic;
    FontUnderline = chosen->underline;
    FontStrikethru = chosen->strikethru;
    Color = chosen->color;
}

void CommonDialog::ShowColor() {
    const auto chosen = DesktopSeam::current().chooseColor(Color, Flags);
    if (!chosen)
        return cancelled();
    Color = *chosen;
}

void CommonDialog::ShowPrinter(QPrinter& printer) {
    if (!DesktopSeam::current().setUpPrinter(printer, Flags))
        cancelled();
}

void CommonDialog::setAction(DialogAction action) {
    switch (action) {
    case DialogAction::Open:
        return ShowOpen();
    case DialogAction::Save:
        return ShowSave();
    case DialogAction::Color:
        return ShowColor();
    case DialogAction::Font:
        return ShowFont();
    case DialogAction::Print:
        break;
    }
    throw Error::withNumber(Error::InvalidPropertyValue);
}
