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
    FontColorDialog dialog(initial, DialogFlags::FontScreenAndPrinter |
                                        DialogFlags::FontExistingOnly | DialogFlags::FontEffects);
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

// Given no name (a mixed selection, a font the system lacks), OK names none unless the user
// picked a family: the family the dialog happens to show is no choice of theirs.
TEST(FontColorDialog, GivenNoNameGivesNoneBackUnlessAFamilyIsPicked) {
    FontChoice initial = someChoice(0);
    initial.name.clear();
    FontColorDialog dialog(initial, DialogFlags::FontScreenAndPrinter);
    EXPECT_EQ(dialog.choice().name, QString());
    EXPECT_EQ(dialog.choice().size, 14);

    const QStringList families = QFontDatabase::families();
    ASSERT_GE(families.size(), 2);
    const QString shown = dialog.fontPart()->currentFont().family();
    const QString other = families[0] == shown ? families[1] : families[0];
    dialog.fontPart()->setCurrentFont(QFont(other));
    EXPECT_EQ(dialog.choice().name, FontFamilies::plainName(other));
}
