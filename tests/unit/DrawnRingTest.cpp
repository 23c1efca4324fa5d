#include <gtest/gtest.h>

#include <QPainter>
#include <random>

#include "imaging/DrawnRing.h"

using namespace tessal;

namespace {

const QRgb kRingBlue = qRgb(59, 130, 246);

// A busy screen: text-like strokes in many colours, blues among them.
QImage busyScreen(QSize size = QSize(1280, 800)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    std::mt19937 random(7);
    for (int y = 0; y < size.height(); y += 14)
        for (int x = 0; x < size.width(); x += 90)
            p.fillRect(x + int(random() % 20), y + 3, 20 + int(random() % 60),
                       2 + int(random() % 6),
                       QColor(int(random() % 256), int(random() % 256), 200 + int(random() % 56)));
    return image;
}

void drawRing(QImage& image, const QRect& outer, int thickness) {
    QPainter p(&image);
    const QRegion ring =
        QRegion(outer) - QRegion(outer.adjusted(thickness, thickness, -thickness, -thickness));
    p.setClipRegion(ring);
    p.fillRect(outer, QColor(kRingBlue));
}

}  // namespace

TEST(DrawnRing, FoundWhereTheDesktopPutItToThePixel) {
    struct Case {
        const char* what;
        QRect expected;
        int thickness;
        QPoint shift;
        std::optional<QPoint> found;
    };
    const QRect outer(196, 146, 608, 408);
    const std::vector<Case> cases{
        {"in place", outer, 4, {0, 0}, QPoint(0, 0)},
        {"below a top bar", outer, 4, {0, 32}, QPoint(0, 32)},
        {"beside a dock, above a bottom panel", outer, 4, {-64, -44}, QPoint(-64, -44)},
        {"twice the pixels", QRect(392, 292, 1216, 816), 8, {70, 60}, QPoint(70, 60)},
        // Its top side under the top of the screen: three sides are enough.
        {"partly off the screen", QRect(196, 20, 608, 408), 4, {0, -30}, QPoint(0, -30)},
        {"farther than asked", outer, 4, {0, 130}, std::nullopt},
    };
    for (const Case& c : cases) {
        QImage image = busyScreen(QSize(2600, 1700));
        drawRing(image, c.expected.translated(c.shift), c.thickness);
        EXPECT_EQ(findDrawnRing(image, c.expected, c.thickness, kRingBlue, 120), c.found) << c.what;
    }
    EXPECT_EQ(findDrawnRing(busyScreen(), outer, 4, kRingBlue, 120), std::nullopt) << "not drawn";
    EXPECT_EQ(findDrawnRing(QImage(), outer, 4, kRingBlue, 120), std::nullopt) << "no picture";
}
