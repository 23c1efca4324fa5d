#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTemporaryDir>

#include "base/DefaultsStore.h"
#include "capture/LastRegion.h"
#include "platform/ScreenCaptureService.h"

using namespace tessal;

namespace {

DisplayInfo display(const char* id, Rect frame) {
    DisplayInfo d;
    d.id = id;
    d.frame = frame;
    return d;
}

}  // namespace

// The region is kept per arrangement of displays: docking the laptop or turning a display off
// shows another arrangement's region (or none), never a stale one in the wrong place.
TEST(LastRegion, KeptPerArrangementAndPlacedOnTheDisplayThatHoldsIt) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    const std::vector<DisplayInfo> docked{display("eDP-1", Rect(0, 0, 1280, 800)),
                                          display("HDMI-1", Rect(1280, -100, 1920, 1080))};
    const std::vector<DisplayInfo> alone{display("eDP-1", Rect(0, 0, 1280, 800))};
    QString why;
    EXPECT_FALSE(LastRegion::place(defaults, docked, &why));
    EXPECT_TRUE(why.contains("还没有截过图"));

    LastRegion::remember(defaults, docked, Rect(1500, 100, 300, 200));
    LastRegion::remember(defaults, alone, Rect(10, 20, 30, 40));
    const auto onSecond = LastRegion::place(defaults, docked, &why);
    ASSERT_TRUE(onSecond);
    EXPECT_EQ(onSecond->display, 1u);
    EXPECT_EQ(onSecond->local, Rect(220, 200, 300, 200));
    const auto onLaptop = LastRegion::place(DefaultsStore(dir.filePath("defaults.json")), alone,
                                            &why);  // read back after a restart
    ASSERT_TRUE(onLaptop);
    EXPECT_EQ(onLaptop->local, Rect(10, 20, 30, 40));

    // Across two displays, or changed by hand to lie off them: refused with the reason.
    LastRegion::remember(defaults, docked, Rect(1200, 100, 300, 200));
    EXPECT_FALSE(LastRegion::place(defaults, docked, &why));
    EXPECT_TRUE(why.contains("不在任何一个显示器之内"));
    defaults.set(LastRegion::key,
                 QJsonArray{QJsonObject{
                     {"arrangement", LastRegion::arrangement(alone)}, {"x", "a"}, {"width", -5}}});
    EXPECT_FALSE(LastRegion::place(defaults, alone, &why));

    // Only a few arrangements are kept, the newest.
    for (int i = 0; i < 20; ++i)
        LastRegion::remember(defaults, {display("X", Rect(0, 0, 100 + i, 100))}, Rect(1, 1, 5, 5));
    EXPECT_EQ(defaults.value(LastRegion::key).toArray().size(), LastRegion::arrangementsKept);
    EXPECT_TRUE(LastRegion::place(defaults, {display("X", Rect(0, 0, 119, 100))}, &why));
}
