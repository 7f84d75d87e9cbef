#include "system/Colors.h"
#include "system/FontColorDialog.h"
#include "system/FontFamilies.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <gtest/gtest.h>

namespace {
FontChoice someChoice(quint32 color) {
    const QString family = QFontDatabase::families().value(0, QStringLiteral("Sans"));
    return FontChoice{family, 14, true, false, true, false, color};
}
} // namespace

// What the dialog opens with is what it gives back untouched: a colour it does not list included.
TEST(FontColorDialog, GivesBackItsStartingChoiceWhenNothingIsChanged) {
    const quint32 unlisted = Colors::fromRgb(1, 2, 3);
    const FontChoice initial = someChoice(unlisted);
    FontColorDialog dialog(initial, DialogFlags::FontScreenAndPrinter +
                                        DialogFlags::FontExistingOnly + DialogFlags::FontEffects);
    const FontChoice chosen = dialog.choice();
    EXPECT_EQ(chosen.name, FontFamilies::plainName(initial.name));
    EXPECT_EQ(chosen.size, 14);
    EXPECT_TRUE(chosen.bold);
    EXPECT_TRUE(chosen.underline);
    EXPECT_FALSE(chosen.strikethru);
    EXPECT_EQ(chosen.color, unlisted);

    dialog.colorBox()->setCurrentIndex(dialog.colorBox()->findText("Red"));
    EXPECT_EQ(dialog.choice().color, Colors::fromRgb(255, 0, 0));
}
