#include <gtest/gtest.h>

#include "regions/ChildRegionCandidates.h"

using namespace tessal;

TEST(ChildRegionCandidates, SmallestFirstWindowLastOnlyPanels) {
    const Rect window(0, 0, 800, 600);
    const Point p{150, 150};
    const std::vector<Rect> regions = {
        {100, 100, 400, 300},   // panel
        {120, 120, 200, 100},   // card inside it (20,000)
        {120, 120, 200, 100},   // duplicate
        {140, 140, 30, 30},     // an icon
        {100, 140, 300, 20},    // a text line
        {0, 0, 800, 600},       // the window itself
        {600, 100, 150, 300},   // a panel elsewhere
        {-100, 100, 400, 300},  // sticking out: clipped to (0, 100, 300, 300)
        {100, 100, 100, 200},   // 20,000 like the card, later in the list
        {110, 130, 59, 200},    // shorter side 59
        {110, 130, 99, 99},     // longer side 99
        {110, 130, 60, 130},    // 7800 square points
    };
    const auto candidates = childRegionCandidates(regions, p, window);
    const std::vector<Rect> expected = {{120, 120, 200, 100},
                                        {100, 100, 100, 200},
                                        {0, 100, 300, 300},
                                        {100, 100, 400, 300},
                                        window};
    EXPECT_EQ(candidates, expected);

    // The same card found by the image (a point outside) and by the accessibility tree, and the
    // window found again by the tree: one wheel step each, the first found kept.
    const std::vector<Rect> twice = {{119, 119, 202, 102},
                                     {120, 120, 200, 100},
                                     {98, 98, 404, 304},
                                     {100, 100, 400, 300},
                                     {1, 1, 798, 598}};
    EXPECT_EQ(childRegionCandidates(twice, p, window),
              (std::vector<Rect>{{119, 119, 202, 102}, {98, 98, 404, 304}, window}));

    // Nothing qualifies, or a window too small for any: the window alone.
    EXPECT_EQ(childRegionCandidates({}, p, window), std::vector<Rect>{window});
    const Rect tiny(0, 0, 50, 50);
    EXPECT_EQ(childRegionCandidates({{0, 0, 50, 50}}, {10, 10}, tiny), std::vector<Rect>{tiny});
}
