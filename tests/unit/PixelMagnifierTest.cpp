#include <gtest/gtest.h>

#include "base/ScreenCoordinates.h"
#include "capture/PixelSample.h"

using namespace tessal;

TEST(PixelMagnifier, SamplesImagePixelsUnderThePointer) {
    QImage image(200, 100, QImage::Format_ARGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(10, 20, 30));
    image.setPixel(199, 99, qRgb(1, 2, 3));
    image.setPixel(20, 49, qRgba(200, 100, 50, 128));  // translucent, not premultiplied
    image.setPixel(21, 49, qRgba(255, 255, 255, 0));   // transparent
    const Rect bounds(0, 0, 100, 50);                  // a 2× display

    const PixelSample topLeft = samplePixel(image, {0, 49.99}, bounds);
    EXPECT_EQ(topLeft.x, 0);
    EXPECT_EQ(topLeft.y, 0);
    EXPECT_EQ(topLeft.hex(), "#0A141E");
    EXPECT_EQ(samplePixel(image, {99.9, 0}, bounds).hex(), "#010203");
    // Outside the view: clamped to the nearest pixel; NaN lands on the edge.
    EXPECT_EQ(samplePixel(image, {-40, 500}, bounds).x, 0);
    EXPECT_EQ(samplePixel(image, {1e300, -1e300}, bounds).y, 99);
    EXPECT_EQ(samplePixel(image, {std::nan(""), 0}, bounds).x, 0);
    // One point is two pixels.
    EXPECT_EQ(samplePixel(image, {10.2, 25}, bounds).x, 20);
    EXPECT_EQ(samplePixel(image, {10.7, 25}, bounds).x, 21);
    // Alpha is divided back out: the colour is reported opaque; transparent reads black.
    const PixelSample translucent = samplePixel(image, {10.2, 25.1}, bounds);
    EXPECT_EQ(translucent.y, 49);
    EXPECT_NEAR(translucent.color.red(), 200, 1);
    EXPECT_NEAR(translucent.color.green(), 100, 1);
    EXPECT_EQ(translucent.color.alpha(), 255);
    EXPECT_EQ(samplePixel(image, {10.7, 25.1}, bounds).hex(), "#000000");
}

TEST(PixelMagnifier, Placement) {
    const Rect bounds(0, 0, 1000, 800);
    // Right of and below the pointer.
    EXPECT_EQ(magnifierFrame({100, 500}, bounds), Rect(122, 304, 190, 174));
    // Near the right edge it jumps left; near the bottom it goes above.
    EXPECT_EQ(magnifierFrame({900, 100}, bounds), Rect(688, 122, 190, 174));
    // Always 8 points inside.
    EXPECT_EQ(magnifierFrame({995, 795}, bounds), Rect(783, 599, 190, 174));
    EXPECT_EQ(magnifierFrame({995, 10}, bounds), Rect(783, 32, 190, 174));
    EXPECT_EQ(magnifierFrame({0, 0}, bounds).origin, (Point{22, 22}));
}

// A pointer's position is its pixel's top-left corner (y down); what it points at is that
// pixel, whatever the scale, also on the display's first and last rows and columns.
TEST(PixelMagnifier, PointerPointsAtThePixelBelowAndRightOfItsPosition) {
    struct Case {
        double scale;
        QPoint pixel;  // y down
    };
    const Size screen{100, 50};
    for (const Case c : {Case{1, {0, 0}}, Case{1, {99, 49}}, Case{1, {37, 20}}, Case{2, {0, 0}},
                         Case{2, {199, 99}}, Case{2, {75, 41}}}) {
        SCOPED_TRACE(testing::Message()
                     << "scale " << c.scale << " pixel " << c.pixel.x() << "," << c.pixel.y());
        const QSize image(int(100 * c.scale), int(50 * c.scale));
        const Point position{c.pixel.x() / c.scale, 50 - c.pixel.y() / c.scale};
        const Point centre = pointedPixelCentre(position, screen, image);
        EXPECT_EQ(centre,
                  (Point{(c.pixel.x() + 0.5) / c.scale, 50 - (c.pixel.y() + 0.5) / c.scale}));
        QImage marked(image, QImage::Format_RGB32);
        marked.fill(Qt::black);
        marked.setPixel(c.pixel, qRgb(255, 0, 0));
        EXPECT_EQ(samplePixel(marked, centre, Rect(0, 0, 100, 50)).hex(), "#FF0000");
    }
    // Far outside or not a number: the nearest pixel.
    EXPECT_EQ(pointedPixelCentre({-1e300, 1e300}, screen, QSize(100, 50)), (Point{0.5, 49.5}));
    EXPECT_EQ(pointedPixelCentre({std::nan(""), -3}, screen, QSize(100, 50)), (Point{0.5, 0.5}));
}
