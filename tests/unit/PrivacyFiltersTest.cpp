#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "imaging/PrivacyFilters.h"

using namespace tessal;

namespace {

QImage noise(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(random() % 256, random() % 256, random() % 256));
    return image;
}

}  // namespace

TEST(PrivacyFilters, PixellateFillsGridBlocksWithTheirAverage) {
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    image.setPixel(0, 0, qRgb(255, 255, 255));  // one white pixel of a 4 × 4 block
    const QImage out = pixellate(image, QRect(1, 1, 6, 3), 4);
    ASSERT_EQ(out.size(), QSize(6, 3));
    EXPECT_EQ(QColor(out.pixel(0, 0)), QColor(16, 16, 16));  // 255 / 16, rounded
    EXPECT_EQ(QColor(out.pixel(2, 2)), QColor(16, 16, 16));
    EXPECT_EQ(QColor(out.pixel(3, 0)), QColor(0, 0, 0));  // the next block

    // Two overlapping regions agree wherever they overlap: the grid belongs to the image.
    const QImage big = noise(200, 120);
    const QImage a = pixellate(big, QRect(10, 10, 100, 80), 24);
    const QImage b = pixellate(big, QRect(50, 30, 120, 80), 24);
    for (int y = 30; y < 90; y += 7)
        for (int x = 50; x < 110; x += 5)
            EXPECT_EQ(a.pixel(x - 10, y - 10), b.pixel(x - 50, y - 30)) << x << "," << y;
    EXPECT_TRUE(pixellate(big, QRect(500, 500, 10, 10), 24).isNull());
}

TEST(PrivacyFilters, BlurSmoothsKeepsFlatAreasAndClampsEdges) {
    QImage flat(50, 40, QImage::Format_RGB32);
    flat.fill(qRgb(90, 120, 200));
    const QImage blurredFlat = gaussianBlur(flat, QRect(0, 0, 50, 40), 12);
    // A flat image stays flat right up to its edges: the edges are extended, not darkened.
    EXPECT_EQ(QColor(blurredFlat.pixel(0, 0)), QColor(90, 120, 200));
    EXPECT_EQ(QColor(blurredFlat.pixel(49, 39)), QColor(90, 120, 200));

    // A hard edge becomes a ramp whose width grows with sigma.
    QImage edge(200, 10, QImage::Format_RGB32);
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 10; ++y)
            edge.setPixel(x, y, x < 100 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    auto rampWidth = [&](double sigma) {
        const QImage out = gaussianBlur(edge, QRect(0, 0, 200, 10), sigma);
        int width = 0;
        for (int x = 0; x < 200; ++x) {
            const int v = qRed(out.pixel(x, 5));
            width += v > 12 && v < 243;
        }
        return width;
    };
    EXPECT_GT(rampWidth(3), 4);
    EXPECT_GT(rampWidth(12), 2 * rampWidth(3));
    const QImage middle = gaussianBlur(edge, QRect(0, 0, 200, 10), 6);
    EXPECT_NEAR(qRed(middle.pixel(100, 5)), 128, 20);
    // A region in the middle of the image equals the same area of a whole-image blur.
    const QImage n = noise(120, 90);
    const QImage whole = gaussianBlur(n, n.rect(), 5);
    const QImage part = gaussianBlur(n, QRect(40, 30, 30, 20), 5);
    EXPECT_EQ(part.pixel(0, 0), whole.pixel(40, 30));
    EXPECT_EQ(part.pixel(29, 19), whole.pixel(69, 49));
    EXPECT_TRUE(gaussianBlur(QImage(), QRect(0, 0, 5, 5), 3).isNull());
}
