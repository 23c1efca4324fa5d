#include <gtest/gtest.h>

#include "base/Clock.h"
#include "platform/fake/FakePlatform.h"
#include "regions/AccessibleChildRegions.h"

using namespace tessal;

namespace {

// One display 1000 × 800 at the origin: top-left-origin frames map to y-up by 800 − maxY.
const Rect kScreen(0, 0, 1000, 800);
constexpr double kTop = 800;
const Rect kWindowLocal(100, 100, 600, 500);  // screen-local
const Rect kWindowFrame(100, 200, 600, 500);  // the same, top-left origin

}  // namespace

class AccessibleChildRegionsTest : public ::testing::Test {
  protected:
    AccessibleChildRegionsTest() {
        resetPreparedAccessibility();
        app = ax.add("/app", std::nullopt);
        ax.applications[42] = app;
        window = ax.add("/window", kWindowFrame, app);
        panel = ax.add("/panel", Rect(150, 250, 300, 200), window);
        button = ax.add("/button", Rect(200, 300, 80, 30), panel);
    }
    std::vector<Rect> query(Point p, std::optional<Rect> w = kWindowLocal) {
        return accessibleChildRegions(ax, clock, 42, p, kScreen, kTop, w);
    }
    ManualClock clock;
    FakeAccessibility ax;
    AccessibleElement app, window, panel, button;
};

TEST_F(AccessibleChildRegionsTest, NoTrustNoQuery) {
    ax.trusted = false;
    EXPECT_TRUE(query({220, 485}).empty());
    EXPECT_EQ(ax.calls, 0);
}

TEST_F(AccessibleChildRegionsTest, ChainShortcutWhenItAlreadyHasAChildRegion) {
    ax.hit = button;
    const auto regions = query({220, 485});
    // Button, panel (a real child region), window: the search is skipped.
    EXPECT_EQ(regions, (std::vector<Rect>{{200, 470, 80, 30}, {150, 350, 300, 200}, kWindowLocal}));
}

TEST_F(AccessibleChildRegionsTest, DescendantSearchFindsFramesContainingThePoint) {
    // No hit element: the search starts at the matching window; a frameless group still leads on.
    ax.hit.reset();
    ax.nodes["/panel"].frame.reset();
    const auto card = ax.add("/card", Rect(160, 260, 200, 150), panel);
    ax.add("/elsewhere", Rect(600, 600, 50, 50), panel);
    const auto regions = query({220, 485});
    // Depth first, the first child first.
    EXPECT_EQ(regions, (std::vector<Rect>{kWindowLocal, {200, 470, 80, 30}, {160, 390, 200, 150}}));
    (void)card;
}

TEST_F(AccessibleChildRegionsTest, ChainBoundsLoopsAndOffDisplayElements) {
    // A chain of 20 ancestors: only 12 taken.
    std::optional<AccessibleElement> previous;
    AccessibleElement deepest;
    for (int i = 0; i < 20; ++i) {
        deepest = ax.add(QString("/chain%1").arg(i), Rect(100 + i, 200 + i, 50, 50), previous);
        previous = deepest;
    }
    ax.hit = deepest;
    std::vector<Rect> chainRects;
    for (const Rect& r : query({130, 570}, std::nullopt))
        if (r.width() == 50 &&
            std::find(chainRects.begin(), chainRects.end(), r) == chainRects.end())
            chainRects.push_back(r);
    EXPECT_EQ(chainRects.size(), 12u);

    // A loop stops at the first repeat; an element off the display adds nothing.
    ax.nodes["/panel"].parent = button;
    ax.nodes["/button"].frame = Rect(5000, 5000, 10, 10);
    ax.hit = button;
    const auto looped = query({220, 485}, std::nullopt);
    EXPECT_EQ(looped.front(), Rect(150, 350, 300, 200));
}

TEST_F(AccessibleChildRegionsTest, WindowsAreMatchedWithinFourPointsAndTheSearchIsBounded) {
    ax.hit.reset();
    const auto other =
        ax.add("/other-window", Rect(104, 196, 600, 500), app);  // 4 points off: no match
    ax.add("/inside-other", Rect(150, 250, 200, 200), other);
    ax.nodes["/app"].children = {other, window};
    auto regions = query({220, 485});
    EXPECT_EQ(std::count(regions.begin(), regions.end(), Rect(150, 350, 200, 200)), 0);

    // 200 children: at most 96 elements are visited.
    for (int i = 0; i < 200; ++i)
        ax.add(QString("/many%1").arg(i), Rect(100, 200, 600, 500 - i), window);
    ax.calls = 0;
    regions = query({220, 485});
    EXPECT_LE(regions.size(), 96u);

    // The deadline: each call takes 0.1 s, so only the first few steps happen.
    ax.onCall = [this] { clock.advance(0.1); };
    regions = query({220, 485});
    EXPECT_LT(regions.size(), 8u);
}

TEST_F(AccessibleChildRegionsTest, ApplicationsArePreparedOnce) {
    query({220, 485});
    query({220, 485});
    EXPECT_EQ(ax.prepared, 1);
    EXPECT_TRUE(accessibleChildRegions(ax, clock, 7, {1, 1}, kScreen, kTop, kWindowLocal).empty());
}
