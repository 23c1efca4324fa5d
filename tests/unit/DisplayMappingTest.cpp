#include <gtest/gtest.h>

#include "platform/DisplayMapping.h"

using namespace tessal;

namespace {

// Primary 1600 × 900 at scale 1, a second display of 1600 × 900 device pixels at scale 2 to its
// right: Qt keeps its top-left in device pixels (1600, 0) and halves its size.
const std::vector<DisplayMapping> kMixed = {{QRect(0, 0, 1600, 900), QPointF(0, 0), 1},
                                            {QRect(1600, 0, 1600, 900), QPointF(1600, 0), 2}};

}  // namespace

TEST(DisplayMapping, RootPixelsBecomeWindowListPointsThroughTheDisplayThatHoldsThem) {
    struct Case {
        QRect native;
        Rect points;
    };
    const Case cases[] = {
        {QRect(100, 50, 400, 300), Rect(100, 50, 400, 300)},  // scale 1: unchanged
        {QRect(1760, 220, 422, 285),
         Rect(1680, 110, 211, 142.5)},                            // scale 2: halved from its origin
        {QRect(1400, 100, 300, 100), Rect(1400, 100, 300, 100)},  // centre on the primary
        {QRect(1550, 100, 300, 100), Rect(1575, 50, 150, 50)},    // centre on the second
    };
    for (const Case& c : cases)
        EXPECT_EQ(windowListRectFromNative(c.native, kMixed), c.points)
            << c.native.x() << "," << c.native.y();
    // No display known: the pixels are taken as points.
    EXPECT_EQ(windowListRectFromNative(QRect(5, 6, 7, 8), {}), Rect(5, 6, 7, 8));
}

TEST(DisplayMapping, WindowListPointsGoBackToRootPixels) {
    EXPECT_EQ(nativeFromWindowListPoint({100, 50}, kMixed), QPoint(100, 50));
    EXPECT_EQ(nativeFromWindowListPoint({1680, 110}, kMixed), QPoint(1760, 220));
    EXPECT_EQ(nativeFromWindowListPoint({2399, 449}, kMixed), QPoint(3198, 898));
    // Round trip of a window's corner on either display.
    for (const QRect native : {QRect(300, 400, 10, 10), QRect(2000, 600, 10, 10)}) {
        const Rect points = windowListRectFromNative(native, kMixed);
        EXPECT_EQ(nativeFromWindowListPoint(points.origin, kMixed), native.topLeft());
    }
    // A primary that is not at the virtual desktop's origin: window-list points start at it.
    const std::vector<DisplayMapping> shifted = {{QRect(1000, 0, 800, 600), QPointF(1000, 0), 1},
                                                 {QRect(0, 0, 1000, 600), QPointF(0, 0), 1}};
    EXPECT_EQ(windowListRectFromNative(QRect(1100, 10, 50, 50), shifted), Rect(100, 10, 50, 50));
    EXPECT_EQ(windowListRectFromNative(QRect(10, 10, 50, 50), shifted), Rect(-990, 10, 50, 50));
    EXPECT_EQ(nativeFromWindowListPoint({-990, 10}, shifted), QPoint(10, 10));
}
