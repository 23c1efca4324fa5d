#include <gtest/gtest.h>

#include "base/QtGeometry.h"
#include "base/geometry.h"

using namespace tessal;

TEST(Geometry, ContainmentIsHalfOpen) {
    const Rect r(10, 20, 30, 40);
    EXPECT_TRUE(r.contains(Point{10, 20}));
    EXPECT_TRUE(r.contains(Point{39.999, 59.999}));
    EXPECT_FALSE(r.contains(Point{40, 30}));
    EXPECT_FALSE(r.contains(Point{20, 60}));
    EXPECT_FALSE(Rect::null().contains(Point{0, 0}));
    EXPECT_FALSE(Rect(0, 0, 0, 0).contains(Point{0, 0}));
}

TEST(Geometry, IntersectionDistinguishesNullFromEmpty) {
    const Rect a(0, 0, 10, 10);
    const Rect touching = a.intersected(Rect(10, 0, 10, 10));
    EXPECT_FALSE(touching.isNull());
    EXPECT_TRUE(touching.isEmpty());
    EXPECT_EQ(touching, Rect(10, 0, 0, 10));

    const Rect apart = a.intersected(Rect(10.5, 0, 10, 10));
    EXPECT_TRUE(apart.isNull());
    EXPECT_TRUE(apart.isEmpty());
    EXPECT_FALSE(a.intersects(Rect(11, 11, 1, 1)));

    EXPECT_EQ(a.intersected(Rect(5, -5, 10, 10)), Rect(5, 0, 5, 5));
    EXPECT_TRUE(a.intersected(Rect::null()).isNull());
}

TEST(Geometry, NegativeSizesAreStandardized) {
    const Rect r(10, 10, -4, -6);
    EXPECT_EQ(r.minX(), 6);
    EXPECT_EQ(r.minY(), 4);
    EXPECT_EQ(r.maxX(), 10);
    EXPECT_EQ(r.width(), 4);
    EXPECT_EQ(r.intersected(Rect(0, 0, 8, 8)), Rect(6, 4, 2, 4));
}

TEST(Geometry, InsetsMayGrowAndCollapseToNull) {
    EXPECT_EQ(Rect(0, 0, 10, 10).insetBy(-1, -2), Rect(-1, -2, 12, 14));
    EXPECT_EQ(Rect(0, 0, 10, 10).insetBy(5, 5), Rect(5, 5, 0, 0));
    EXPECT_TRUE(Rect(0, 0, 10, 10).insetBy(6, 0).isNull());
}

TEST(Geometry, UnionAndIntegral) {
    EXPECT_EQ(Rect::null().united(Rect(1, 2, 3, 4)), Rect(1, 2, 3, 4));
    EXPECT_EQ(Rect(0, 0, 1, 1).united(Rect(5, 5, 1, 1)), Rect(0, 0, 6, 6));
    EXPECT_EQ(Rect(0.5, 1.2, 2.0, 2.0).integral(), Rect(0, 1, 3, 3));
}

TEST(Geometry, QtRectanglesFlipAroundThePrimaryDisplay) {
    // Primary 1440×900 at the virtual origin, a second display to its right, taller.
    const QRectF primary(0, 0, 1440, 900);
    EXPECT_EQ(globalFromQt(QRectF(0, 0, 1440, 900), primary), Rect(0, 0, 1440, 900));
    EXPECT_EQ(globalFromQt(QRectF(1440, -180, 1920, 1080), primary), Rect(1440, 0, 1920, 1080));
    EXPECT_EQ(globalFromQt(QRectF(100, 50, 200, 100), primary), Rect(100, 750, 200, 100));
    const Rect g(1500, 717, 400, 300);
    EXPECT_EQ(globalFromQt(qtFromGlobal(g, primary), primary), g);
}
