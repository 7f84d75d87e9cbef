#include "document/Ruler.h"

#include "support/ScriptedDesktop.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(Ruler, PaintsTheDrawingItWasGiven) {
    ScopedScriptedDesktop scripted;
    Ruler ruler;
    ruler.resize(800, ruler.height());
    EXPECT_EQ(ruler.objectName(), QStringLiteral("PicRuler"));
    EXPECT_EQ(ruler.heightTwips(), 390);
    ruler.setDrawing(
        RulerDrawing::compute(ruler.heightTwips(), 7.0f, {1, [](int) { return 720.0; }}));
    const QImage image = ruler.grab().toImage();

    // 15 twips per pixel: the 0 mark at x 2 rises from the base line (y 24) to y 13; the tab
    // square spans x 48 to 52 with its top at y 20, the half-inch mark through its middle.
    EXPECT_EQ(image.pixelColor(2, 20), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(2, 10), QColor(224, 224, 224));
    EXPECT_EQ(image.pixelColor(48, 22), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(50, 20), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(49, 22), QColor(224, 224, 224));
}
