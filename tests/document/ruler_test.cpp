#include "document/Ruler.h"

#include "platform/ScriptedDesktop.h"

#include <QCoreApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {
RulerDrawing::TabStops noStops() {
    return {0, [](int) { return 0.0; }};
}
} // namespace

TEST(Ruler, RepaintAsksForTheDrawingThenPaintsIt) {
    ScopedScriptedDesktop scripted;
    Ruler ruler;
    ruler.resize(800, ruler.height());
    EXPECT_EQ(ruler.objectName(), QStringLiteral("PicRuler"));
    EXPECT_EQ(ruler.heightTwips(), 390);

    int paints = 0;
    QObject::connect(&ruler, &Ruler::Paint, [&] {
        ++paints;
        ruler.setDrawing(
            RulerDrawing::compute(ruler.heightTwips(), 7.0f, {1, [](int) { return 720.0; }}));
    });
    const QImage image = ruler.grab().toImage();
    EXPECT_EQ(paints, 1);
    ASSERT_EQ(ruler.drawing().squares.size(), 1);

    // 15 twips per pixel: the 0 mark at x 2 rises from the base line (y 24) to y 13; the tab
    // square spans x 48 to 52 with its top at y 20, the half-inch mark through its middle.
    EXPECT_EQ(image.pixelColor(2, 20), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(2, 10), QColor(224, 224, 224));
    EXPECT_EQ(image.pixelColor(48, 22), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(50, 20), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(49, 22), QColor(224, 224, 224));
}

TEST(Ruler, SettingTheSameDrawingDuringAPaintDoesNotRepaintForever) {
    ScopedScriptedDesktop scripted;
    Ruler ruler;
    ruler.resize(800, ruler.height());
    int paints = 0;
    QObject::connect(&ruler, &Ruler::Paint, [&] {
        ++paints;
        ruler.setDrawing(RulerDrawing::compute(ruler.heightTwips(), 7.0f, noStops()));
    });
    ruler.show();
    // Lets the pending repaints run; a repaint that scheduled another would keep counting.
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const int settled = paints;
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(paints, settled);
}
