#include <gtest/gtest.h>

#include "base/SelectionHandle.h"
#include "capture/SelectionGeometry.h"

using namespace tessal;
using H = SelectionHandle;

TEST(SelectionHandle, ResizeRule) {
    const Rect screen(0, 0, 1000, 800);
    const Rect r(100, 100, 200, 100);
    struct Case {
        H handle;
        Point delta;
        bool lock;
        Rect expected;
    };
    const Case cases[] = {
        // Edges move alone, stop 3 points before the opposite edge and at the screen.
        {H::left, {50, 0}, false, {150, 100, 150, 100}},
        {H::left, {500, 0}, false, {297, 100, 3, 100}},
        {H::left, {-500, 0}, false, {0, 100, 300, 100}},
        {H::right, {-500, 0}, false, {100, 100, 3, 100}},
        {H::top, {0, 1000}, false, {100, 100, 200, 700}},
        {H::bottom, {0, 99}, false, {100, 197, 200, 3}},
        {H::bottomLeft, {-10, -20}, false, {90, 80, 210, 120}},
        // Moving keeps the size and stops flush with the screen's edges.
        {H::move, {-500, 0}, false, {0, 100, 200, 100}},
        {H::move, {2000, 2000}, false, {800, 700, 200, 100}},
        // An edge handle ignores the aspect lock.
        {H::right, {100, 0}, true, {100, 100, 300, 100}},
        // Aspect-locked corners grow around the opposite corner...
        {H::topRight, {200, 0}, true, {100, 100, 400, 200}},
        {H::bottomLeft, {0, -50}, true, {-0.0 + 0, 50, 300, 150}},
        // ...and stop at the first screen edge reached.
        {H::topRight, {5000, 5000}, true, {100, 100, 900, 450}},
        {H::topLeft, {-5000, 0}, true, {0, 100, 300, 150}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(adjusted(c.handle, r, c.delta, screen, c.lock), c.expected)
            << int(c.handle) << " by " << c.delta;
    }
    // A flat rectangle cannot keep a ratio: the corner moves freely.
    EXPECT_EQ(adjusted(H::topRight, Rect(10, 10, 0, 50), {5, 5}, screen, true),
              Rect(10, 10, 5, 55));
}

TEST(SelectionHandle, HandlePoints) {
    const Rect r(10, 20, 100, 50);
    EXPECT_EQ(handlePoint(H::bottomLeft, r), (Point{10, 20}));
    EXPECT_EQ(handlePoint(H::top, r), (Point{60, 70}));
    EXPECT_EQ(handlePoint(H::right, r), (Point{110, 45}));
    EXPECT_EQ(handlePoint(H::move, r), (Point{60, 45}));
}

TEST(SelectionChromeHitRule, CornersEdgesAndTheMoveTool) {
    const Rect s(100, 100, 200, 100);
    struct Case {
        Point p;
        bool moving;
        std::optional<H> expected;
    };
    const Case cases[] = {
        {{106, 106}, false, H::bottomLeft},  // 6 points off on both axes still reaches it
        {{108, 100}, false, H::bottom},      // too far from the corner: the edge band
        {{104, 150}, false, H::left},
        {{296, 150}, false, H::right},
        {{200, 196}, false, H::top},        // 4 points inside the top edge
        {{200, 150}, false, std::nullopt},  // inside, move tool off: nothing, the canvas gets it
        {{200, 150}, true, H::move},
        {{94, 120}, true, std::nullopt},  // 6 points outside, no handle in reach
        {{94, 150}, false, H::left},      // the left handle reaches 7 points
        {{300, 205}, false, H::topRight},
    };
    for (const Case& c : cases) EXPECT_EQ(chromeHandle(c.p, s, c.moving), c.expected) << c.p;

    // A tiny selection: the nearer handle wins.
    const Rect tiny(100, 100, 6, 6);
    EXPECT_EQ(chromeHandle({105.5, 105.5}, tiny, false), H::topRight);
    EXPECT_EQ(chromeHandle({100.5, 103}, tiny, false), H::left);
}

TEST(SelectionGeometry, StrokeRectAlignsToDevicePixels) {
    // At scale 1 a 3-pixel line is centred on pixel centres; at scale 2 the 6-pixel line on edges.
    EXPECT_EQ(selectionStrokeRect(Rect(10.2, 20.7, 100.3, 50), 1), Rect(10.5, 21.5, 101, 50));
    EXPECT_EQ(selectionStrokeRect(Rect(10.2, 20.7, 100.3, 50), 2), Rect(10, 20.5, 100.5, 50));
    EXPECT_EQ(selectionStrokeRect(Rect(0, 0, 10, 10), 0.5), Rect(0.5, 0.5, 10, 10));
}

TEST(SelectionGeometry, HandleRadii) {
    EXPECT_EQ(cornerHandleRadius(Rect(0, 0, 24, 24)), 3);
    EXPECT_EQ(cornerHandleRadius(Rect(0, 0, 20, 20)), 0);
    EXPECT_EQ(edgeHandleRadius(Rect(0, 0, 20, 20)), 2);
    EXPECT_EQ(edgeHandleRadius(Rect(0, 0, 11, 40)), 0);
}

TEST(SelectionGeometry, SizeBadge) {
    // 10.3 … 20.7 points on a 2× display covers pixels 20 to 42.
    EXPECT_EQ(selectionSizeText(Rect(10.3, 0, 10.4, 10), {100, 100}, {200, 200}), "22 × 20 px");
    EXPECT_EQ(selectionSizeText(Rect(0, 0, 1280, 720), {1280, 720}, {1280, 720}), "1280 × 720 px");

    const Rect within(0, 0, 1000, 800);
    // Above the selection, aligned with its left edge.
    EXPECT_EQ(sizeBadgeFrame(80, Rect(100, 100, 200, 100), within), Rect(100, 208, 100, 24));
    // No room above: below it.
    EXPECT_EQ(sizeBadgeFrame(80, Rect(100, 700, 200, 90), within), Rect(100, 668, 100, 24));
    // Neither: inside the top edge; and kept 6 points inside on the right.
    EXPECT_EQ(sizeBadgeFrame(80, Rect(950, 0, 50, 800), within), Rect(894, 766, 100, 24));
    EXPECT_EQ(sizeBadgeFrame(80.2, Rect(-50, 100, 10, 10), within).origin.x, 6);
}

TEST(SelectionGeometry, ExactSelectionSize) {
    const Size screen{1000, 800};
    const QSize image(2000, 1600);
    const Rect s(100, 100, 200, 100);
    EXPECT_EQ(exactSelectionSize({640, 480}, s, screen, image), Rect(100, 100, 320, 240));
    EXPECT_EQ(exactSelectionSize({0, 0}, s, screen, image), Rect(100, 100, 0.5, 0.5));
    EXPECT_EQ(exactSelectionSize({5000, 10}, s, screen, image), Rect(0, 100, 1000, 5));
    EXPECT_EQ(exactSelectionSize({1920, 1080}, Rect(900, 700, 10, 10), screen, image),
              Rect(40, 260, 960, 540));
    EXPECT_EQ(exactSelectionSize({2.5, 2.5}, s, screen, image).size, (Size{1.5, 1.5}));
}

TEST(SelectionGeometry, ToolbarFrame) {
    const Rect bounds(0, 0, 1000, 800);
    const Size toolbar{400, 40};
    // Below, right-aligned with the selection.
    EXPECT_EQ(toolbarFrame(toolbar, Rect(300, 300, 500, 200), bounds), Rect(400, 250, 400, 40));
    // Touching the bottom: above it.
    EXPECT_EQ(toolbarFrame(toolbar, Rect(300, 0, 500, 200), bounds), Rect(400, 210, 400, 40));
    // Filling the screen: inside, 8 points from the top edge.
    EXPECT_EQ(toolbarFrame(toolbar, bounds, bounds), Rect(592, 752, 400, 40));
    // Near the left edge: kept 8 points in.
    EXPECT_EQ(toolbarFrame(toolbar, Rect(0, 300, 100, 100), bounds).origin.x, 8);
    // Wider than the bounds: the left margin wins.
    EXPECT_EQ(toolbarFrame({1200, 40}, Rect(0, 300, 100, 100), bounds).origin.x, 8);
}
