#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "regions/VisualChildRegions.h"

using namespace tessal;

namespace {

// A screen image (scale × points) with a window background and panels given in screen-local
// points (y up).
QImage screen(Size points, double scale, QColor background,
              const std::vector<std::pair<Rect, QColor>>& panels) {
    QImage image(int(points.width * scale), int(points.height * scale), QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    for (const auto& [r, colour] : panels)
        painter.fillRect(QRectF(r.minX() * scale, (points.height - r.maxY()) * scale,
                                r.width() * scale, r.height() * scale),
                         colour);
    return image;
}

bool near(const Rect& a, const Rect& b, double tolerance) {
    return std::abs(a.minX() - b.minX()) <= tolerance &&
           std::abs(a.minY() - b.minY()) <= tolerance &&
           std::abs(a.width() - b.width()) <= tolerance &&
           std::abs(a.height() - b.height()) <= tolerance;
}

const Size kScreenSize{1000, 800};
const Rect kWindow(100, 100, 700, 500);
const QColor kBackground(240, 240, 240);

}  // namespace

TEST(VisualChildRegions, FlatWindowGivesNothing) {
    EXPECT_TRUE(
        visualChildRegions(screen(kScreenSize, 1, kBackground, {}), kScreenSize, kWindow).empty());
    EXPECT_TRUE(visualChildRegions(QImage(), kScreenSize, kWindow).empty());
    EXPECT_TRUE(visualChildRegions(screen(kScreenSize, 1, kBackground, {}), kScreenSize,
                                   Rect(5000, 0, 10, 10))
                    .empty());
}

TEST(VisualChildRegions, APanelIsItsRectangleGrownByOnePointAtAnyScale) {
    const Rect panel(200, 250, 200, 150);
    const auto one = visualChildRegions(screen(kScreenSize, 1, kBackground, {{panel, Qt::white}}),
                                        kScreenSize, kWindow);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], Rect(199, 249, 202, 152));
    const auto two = visualChildRegions(screen(kScreenSize, 2, kBackground, {{panel, Qt::white}}),
                                        kScreenSize, kWindow);
    ASSERT_EQ(two.size(), 1u);
    EXPECT_TRUE(near(two[0], one[0], 1)) << two[0];
}

// Many pixels per point (a small screen size given for a large image, as `tessal regions
// --screen` allows): the block means must not carry from one colour channel into the next.
TEST(VisualChildRegions, LargeReductionFactorsKeepEveryChannel) {
    const Size points{200, 150};
    for (const int blue : {200, 227, 255}) {
        const auto found = visualChildRegions(
            screen(points, 20, Qt::black, {{Rect(40, 25, 120, 100), QColor(0, 0, blue)}}), points,
            Rect(0, 0, 200, 150));
        ASSERT_EQ(found.size(), 1u) << "blue " << blue;
        EXPECT_TRUE(near(found[0], Rect(39, 24, 122, 102), 1)) << found[0];
    }
}

TEST(VisualChildRegions, SizeLimitsInPoints) {
    const std::vector<std::pair<Rect, QColor>> panels = {
        {Rect(150, 150, 200, 57), Qt::white},    // 57 high
        {Rect(150, 250, 97, 80), Qt::white},     // 97 long
        {Rect(300, 250, 75, 100), Qt::white},    // 7500 square points
        {Rect(450, 250, 300, 14), Qt::black},    // a text line
        {Rect(450, 300, 24, 24), Qt::blue},      // an icon
        {Rect(450, 400, 80, 28), Qt::darkGray},  // a button
    };
    const auto found =
        visualChildRegions(screen(kScreenSize, 1, kBackground, panels), kScreenSize, kWindow);
    for (const Rect& r : found) ADD_FAILURE() << "unexpected region " << r;
}

TEST(VisualChildRegions, EdgesContrastAndNesting) {
    // A sidebar flush with the window's left edge needs no contrast there.
    const Rect sidebar(100, 100, 150, 500);
    const auto side =
        visualChildRegions(screen(kScreenSize, 1, kBackground, {{sidebar, QColor(200, 210, 225)}}),
                           kScreenSize, kWindow);
    // Grown, then clipped to the window. (The content area to its right is found as well.)
    EXPECT_NE(std::find(side.begin(), side.end(), Rect(100, 100, 151, 500)), side.end());

    // A low-contrast panel (< 14 levels) is not a region.
    EXPECT_TRUE(visualChildRegions(screen(kScreenSize, 1, kBackground,
                                          {{Rect(300, 250, 200, 150), QColor(230, 230, 230)}}),
                                   kScreenSize, kWindow)
                    .empty());

    // A card inside a panel: both, the card first.
    const auto nested =
        visualChildRegions(screen(kScreenSize, 1, kBackground,
                                  {{Rect(200, 200, 400, 300), Qt::white},
                                   {Rect(250, 250, 150, 120), QColor(220, 230, 255)}}),
                           kScreenSize, kWindow);
    ASSERT_EQ(nested.size(), 2u);
    EXPECT_EQ(nested[0], Rect(249, 249, 152, 122));
    EXPECT_EQ(nested[1], Rect(199, 199, 402, 302));
}

// A frame-shaped area (a panel colour around an inset of another colour) counts as a panel
// only while it fills at least 55 % of its bounding box.
TEST(VisualChildRegions, FillRatioBoundary) {
    const Rect outer(200, 200, 300, 200);
    for (const auto& [holeHeight, kept] : {std::pair{110, true}, std::pair{115, false}}) {
        // Hole 240 wide: fill = 1 - 240 × h / 60000 → 0.56 and 0.54.
        const Rect hole(230, 200 + (200 - holeHeight) / 2.0, 240, holeHeight);
        const auto found = visualChildRegions(
            screen(kScreenSize, 1, kBackground, {{outer, Qt::white}, {hole, QColor(40, 60, 120)}}),
            kScreenSize, kWindow);
        const bool outerFound = std::any_of(found.begin(), found.end(), [&](const Rect& r) {
            return near(r, outer.insetBy(-1, -1), 1);
        });
        EXPECT_EQ(outerFound, kept) << "hole height " << holeHeight;
    }
}

// A panel cut by slots from above and below alternately is one winding component: the fill has
// to turn back up and down through it to reach every part.
TEST(VisualChildRegions, AWindingPanelIsFoundWhole) {
    const Rect outer(200, 200, 300, 200);
    std::vector<std::pair<Rect, QColor>> panels{{outer, Qt::white}};
    for (int i = 0; i < 4; ++i) {
        const double x = 250 + i * 60;
        panels.push_back({Rect(x, i % 2 ? 200 : 250, 10, 150), QColor(40, 60, 120)});
    }
    for (double scale : {1.0, 2.0}) {
        const auto found = visualChildRegions(screen(kScreenSize, scale, kBackground, panels),
                                              kScreenSize, kWindow);
        ASSERT_EQ(found.size(), 1u) << "scale " << scale;
        EXPECT_TRUE(near(found[0], outer.insetBy(-1, -1), 1)) << found[0];
    }
}

TEST(VisualChildRegions, LargeWindowsAreReducedAndTheResultIsCapped) {
    const Size big{3000, 2000};
    const Rect window(0, 0, 3000, 2000);
    const auto reduced = visualChildRegions(
        screen(big, 1, kBackground, {{Rect(500, 500, 300, 200), Qt::white}}), big, window);
    ASSERT_EQ(reduced.size(), 1u);
    EXPECT_TRUE(near(reduced[0], Rect(499, 499, 302, 202), 3)) << reduced[0];
    // 320 qualifying panels of slightly different sizes: the 256 smallest come back.
    std::vector<std::pair<Rect, QColor>> many;
    for (int row = 0; row < 16; ++row)
        for (int column = 0; column < 20; ++column)
            many.push_back(
                {Rect(20 + column * 145, 20 + row * 122, 120 + (row * 20 + column) % 9, 110),
                 QColor(190, 200, 215)});
    const auto capped = visualChildRegions(screen(big, 1, kBackground, many), big, window);
    EXPECT_EQ(capped.size(), 256u);
    for (std::size_t i = 1; i < capped.size(); ++i)
        EXPECT_LE(capped[i - 1].width() * capped[i - 1].height(),
                  capped[i].width() * capped[i].height());
}
