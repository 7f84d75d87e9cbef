#pragma once

#include "system/Desktop.h"

#include <QDialog>

class QComboBox;
class QFontDialog;

// The font dialog: Qt's face, style, size and effects, with the text colour chosen in the same
// dialog beside them, as users of a word processor's font dialog expect. DialogFlags::FontEffects
// asks for the effects and the colour; without it the colour is not offered.
class FontColorDialog : public QDialog {
    Q_OBJECT

public:
    FontColorDialog(const FontChoice& initial, DialogFlags::Flags flags, QWidget* parent = nullptr);

    FontChoice choice() const;
    QComboBox* colorBox() const { return colors_; }
    QFontDialog* fontPart() const { return font_; }

private:
    void selectColor(quint32 color);
    void nameFontDialogParts();

    QFontDialog* font_ = nullptr;
    QComboBox* colors_ = nullptr;
    quint32 initialColor_ = 0;
    // Given no name (a mixed selection, a font the system lacks), the dialog shows some family
    // all the same; unless the user picks another, the choice names none.
    bool givenNoName_ = false;
    QString shownFamily_;
};
