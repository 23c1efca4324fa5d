#include <gtest/gtest.h>

#include <QPainter>

#include "imaging/TextDetection.h"

using namespace tessal;

TEST(TextDetection, BoxesFromTheProbabilityMap) {
    // A 64 × 32 map (the image is twice as large): one confident word, one faint blot, one
    // speck too small to be text.
    std::vector<float> map(64 * 32, 0.0f);
    auto fill = [&](int x0, int y0, int w, int h, float p) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) map[std::size_t(y) * 64 + x] = p;
    };
    fill(10, 10, 20, 6, 0.9f);  // text
    fill(40, 20, 10, 6, 0.4f);  // over the threshold, but not sure enough to be text
    fill(50, 2, 2, 2, 0.95f);   // too small
    const std::vector<QRect> found = TextDetection::boxes(map.data(), 64, 32, QSize(128, 64));
    ASSERT_EQ(found.size(), 1u);
    // Grown by area × 1.5 / perimeter = 120 × 1.5 / 52 ≈ 3.46 on every side, then doubled.
    EXPECT_EQ(found[0], QRect(13, 13, 54, 26));
}

TEST(TextDetection, DecodingJoiningAndMargins) {
    // Steps: a, a, blank, a, b, b → "aab" (a repeat after a blank counts again).
    const QStringList keys{"a", "b"};
    const float p[] = {0.1f, 0.8f, 0.1f, 0.1f, 0.9f, 0.0f, 0.9f, 0.05f, 0.05f,
                       0.2f, 0.7f, 0.1f, 0.1f, 0.1f, 0.8f, 0.0f, 0.1f,  0.9f};
    double least = 0;
    EXPECT_EQ(TextDetection::decode(p, 6, 3, keys, &least), "aab");
    EXPECT_FLOAT_EQ(least, 0.7f);

    // Pieces on one row join left to right, with a space for a wide gap; a piece far to the
    // side (another window) stays a line of its own; rows go top to bottom.
    const auto lines = TextDetection::joinRows({{"保存", QRect(100, 50, 40, 20)},
                                                {"New", QRect(10, 12, 30, 20)},
                                                {"Ctrl+N", QRect(120, 10, 50, 20)},
                                                {"文件", QRect(145, 52, 40, 18)},
                                                {"far", QRect(900, 11, 30, 20)}});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "New Ctrl+N");
    EXPECT_EQ(lines[1].text, "far");
    EXPECT_EQ(lines[2].text, "保存文件");

    QImage image(50, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    EXPECT_TRUE(TextDetection::contentRect(image).isEmpty());
    image.setPixel(20, 5, qRgb(0, 0, 0));
    image.setPixel(30, 33, qRgb(0, 0, 0));
    EXPECT_EQ(TextDetection::contentRect(image), QRect(QPoint(20, 5), QPoint(30, 33)));
}

// "Same row" is not transitive: in a staircase each box shares a row with its neighbours but
// not with the one after. Rows are formed first (each begun by its topmost box), then each is
// ordered left to right; the result does not depend on how a sort copes with a cycle.
TEST(TextDetection, BoxesInAStaircaseFormRowsBeforeTheyAreOrdered) {
    constexpr int w = 400, h = 120;
    std::vector<float> map(std::size_t(w) * h, 0.0f);
    // Box i: 20 × 6 at (300 − 25 i, 10 + 4 i); grown to 14 rows, so a row takes the next box
    // (4 rows lower) and not the one after (8 rows lower).
    for (int i = 0; i < 10; ++i)
        for (int y = 10 + 4 * i; y < 16 + 4 * i; ++y)
            for (int x = 300 - 25 * i; x < 320 - 25 * i; ++x) map[std::size_t(y) * w + x] = 0.9f;
    const std::vector<QRect> found = TextDetection::boxes(map.data(), w, h, QSize(w, h));
    ASSERT_EQ(found.size(), 10u);
    std::vector<int> order;
    for (const QRect& box : found) order.push_back((300 - (box.x() + 4)) / 25);
    EXPECT_EQ(order, (std::vector<int>{1, 0, 3, 2, 5, 4, 7, 6, 9, 8}));
}

// The second reader gets dark text on a light ground with a margin in the ground's colour.
TEST(TextDetection, SecondReaderInputIsDarkOnLightWithAMargin) {
    struct Case {
        QColor ground, ink;
        int height;
    };
    const Case cases[] = {{Qt::white, Qt::black, 20},
                          {QColor(20, 20, 30), QColor(240, 240, 240), 20},  // inverted
                          {QColor(200, 210, 220), QColor(10, 10, 10), 30}};
    for (const Case& c : cases) {
        QImage line(60, c.height, QImage::Format_RGB32);
        line.fill(c.ground);
        QPainter(&line).fillRect(10, 5, 30, c.height - 10, c.ink);
        const QImage input = TextDetection::secondReaderInput(line);
        const int margin = std::max(10, c.height / 2);
        ASSERT_EQ(input.size(), QSize(60 + 2 * margin, c.height + 2 * margin)) << c.height;
        EXPECT_EQ(input.format(), QImage::Format_Grayscale8);
        const int ground = qGray(input.pixel(0, 0)),
                  ink = qGray(input.pixel(margin + 20, margin + 8));
        EXPECT_GT(ground, 190) << c.height;
        EXPECT_LT(ink, 60) << c.height;
        // The line itself sits inside the margin: its ground right after the margin.
        EXPECT_EQ(qGray(input.pixel(margin + 2, margin + 2)), ground);
    }
    EXPECT_TRUE(TextDetection::secondReaderInput(QImage()).isNull());
}
