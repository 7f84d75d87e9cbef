#pragma once

#include "model/Alignment.h"

#include <QString>
#include <array>

class QAbstractButton;
class QComboBox;

// The toolbar controls that show the selection's formatting. The frame makes them; the
// formatting routines and SyncToolbar set them, whichever document they act on.
struct FormatBar {
    std::array<QAbstractButton*, 3> ImgFButtons{}; // Bold, Italic, Underline
    std::array<QAbstractButton*, 3> ImgAButtons{}; // Align Left, Center, Align Right
    // What each of ImgAButtons sets, in the buttons' order.
    static constexpr std::array<Alignment, 3> alignmentOfButton{Alignment::Left, Alignment::Centre,
                                                                Alignment::Right};
    QComboBox* cboFontCombo = nullptr;
    QComboBox* cboSizeCombo = nullptr;

    // What SyncToolbar last put in the boxes. Never cleared: they outlive the documents and are
    // compared with whichever document's selection changes next.
    QString rememberedFontName;
    QString rememberedSizeText;
};
