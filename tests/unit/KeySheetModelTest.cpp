#include <gtest/gtest.h>

#include "capture/KeySheetModel.h"

using namespace tessal;

TEST(KeySheetModel, TakesTheFirstFreeCornerElseTheLeastCovered) {
    const Rect bounds(0, 0, 1000, 600);
    const Size sheet{300, 200};
    struct Case {
        const char* name;
        std::vector<Rect> avoid;
        Point origin;
    };
    const Case cases[] = {
        {"nothing to avoid: bottom-left", {}, {16, 16}},
        {"selection at the bottom-left", {Rect(0, 0, 320, 220)}, {684, 16}},
        {"touching edges are free", {Rect(316, 0, 10, 600)}, {16, 16}},
        {"bottom row taken", {Rect(0, 0, 1000, 230)}, {16, 384}},
        {"all but the top-right", {Rect(0, 0, 1000, 230), Rect(0, 300, 400, 300)}, {684, 384}},
        {"everything covered: the least",
         {Rect(0, 0, 1000, 600), Rect(0, 0, 500, 300), Rect(600, 400, 400, 200)},
         {684, 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KeySheetModel::frame(sheet, bounds, c.avoid), Rect(c.origin, sheet));
    }
}
