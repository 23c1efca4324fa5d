#include <gtest/gtest.h>

#include <QVariantMap>

#include "base/Clock.h"
#include "longcapture/AutoScroller.h"
#include "platform/fake/FakePlatform.h"

using namespace tessal;

namespace {

QVariantMap window(unsigned number, int pid, const Rect& bounds) {
    const QVariantMap rect{{"x", bounds.minX()},
                           {"y", bounds.minY()},
                           {"width", bounds.width()},
                           {"height", bounds.height()}};
    return {{"number", number}, {"pid", pid}, {"layer", 0}, {"bounds", rect}};
}

struct Scrolling : ::testing::Test {
    FakeScreenCapture capture;
    FakeWorkspace workspace;
    ManualClock clock;
    Point ownWindowAt{-1, -1};
    AutoScroller scroller{
        {clock, workspace, workspace, capture, 77, [this](Point p) { return p == ownWindowAt; }}};
    const Rect source{100, 100, 600, 500};
    const Rect region{150, 200, 400, 300};

    void SetUp() override {
        capture.windows = {window(42, 500, source)};
        workspace.frontmostPid = 500;
    }
    AutoScroller::Target target(double extent = 300, int speed = 1, bool reverse = false,
                                LongCaptureAxis axis = LongCaptureAxis::vertical) {
        return {{500, 42}, region, source, extent, axis, reverse, speed};
    }
};

}  // namespace

TEST_F(Scrolling, AStepIsWholeNotchesAtLeastOneInTheCapturesDirection) {
    struct Case {
        double extent;
        int speed;
        bool reverse;
        LongCaptureAxis axis;
        int notches;
    };
    const std::vector<Case> cases{
        {300, 1, false, LongCaptureAxis::vertical, 1},    // 30 points
        {100, 0, false, LongCaptureAxis::vertical, 1},    // 8 points, still a notch
        {800, 2, false, LongCaptureAxis::vertical, 2},    // 96 points (the cap)
        {2000, 2, true, LongCaptureAxis::vertical, -2},   // capped, towards the start
        {400, 1, false, LongCaptureAxis::horizontal, 1},  // sideways
        {600, 9, false, LongCaptureAxis::vertical, 2},    // an unknown speed counts as fast
    };
    for (const Case& c : cases) {
        workspace.scrolls.clear();
        scroller.start();
        clock.advance(0.31);
        EXPECT_FALSE(scroller.step(target(c.extent, c.speed, c.reverse, c.axis)));
        ASSERT_EQ(workspace.scrolls.size(), 1u) << c.extent;
        const ScrollRequest& posted = workspace.scrolls[0];
        EXPECT_EQ(posted.notches, c.notches) << c.extent << " speed " << c.speed;
        EXPECT_EQ(posted.horizontal, c.axis == LongCaptureAxis::horizontal);
        // The pointer is to be left off the region, over the source where it can.
        EXPECT_EQ(posted.keepClear, region);
        EXPECT_EQ(posted.parkWithin, source);
        scroller.stop();
    }
}

TEST_F(Scrolling, StepsWaitForTheirFrameAndStopWhenTheSourceIsNotThere) {
    scroller.start();
    EXPECT_FALSE(scroller.step(target()));
    EXPECT_TRUE(workspace.scrolls.empty());  // 0.3 s apart
    clock.advance(0.31);
    EXPECT_FALSE(scroller.step(target()));
    clock.advance(0.5);
    EXPECT_FALSE(scroller.step(target()));
    EXPECT_EQ(workspace.scrolls.size(), 1u);  // the first step has not shown yet
    // Its frame has not come in a second: the desktop may have lost it. Sent once more, and
    // the wait for progress starts again; not a third time.
    clock.advance(0.6);
    EXPECT_FALSE(scroller.step(target()));
    EXPECT_EQ(workspace.scrolls.size(), 2u);
    clock.advance(1.5);
    EXPECT_FALSE(scroller.observe(std::nullopt, 0));
    EXPECT_FALSE(scroller.step(target()));
    EXPECT_EQ(workspace.scrolls.size(), 2u);
    clock.advance(0.6);
    EXPECT_EQ(scroller.observe(std::nullopt, 0), AutoScroller::noChangeMessage());
    scroller.start();
    clock.advance(0.31);
    EXPECT_FALSE(scroller.step(target()));
    EXPECT_FALSE(scroller.observe(ScrollAppendResult::Kind::appended, 0));
    clock.advance(0.31);
    EXPECT_FALSE(scroller.step(target()));
    EXPECT_EQ(workspace.scrolls.size(), 4u);
    EXPECT_EQ(scroller.postedCount(), 4);
    // A region shorter than three steps: a late frame showing two at once would leave nothing
    // to match, so a step is never sent twice there.
    clock.advance(1.1);
    EXPECT_FALSE(scroller.step(target(170)));
    EXPECT_EQ(workspace.scrolls.size(), 4u);
    EXPECT_FALSE(scroller.step(target()));
    EXPECT_EQ(workspace.scrolls.size(), 5u);

    // The middle probe lies on a window of ours: the next one left of it turns the wheel.
    ownWindowAt = {350, 350};
    scroller.observe(ScrollAppendResult::Kind::appended, 0);
    clock.advance(0.31);
    EXPECT_FALSE(scroller.step(target()));
    EXPECT_EQ(workspace.scrolls.back().point, (Point{250, 350}));

    struct Case {
        const char* what;
        std::function<void()> change;
        QString message;
    };
    const std::vector<Case> cases{
        {"another program in front", [&] { workspace.frontmostPid = 9; },
         "已切换应用，自动滚动停止。"},
        {"our own panel in front (it takes the keys on Wayland)",
         [&] { workspace.frontmostPid = 77; }, QString()},
        {"another program's window over every probe",
         [&] { capture.windows.prepend(window(7, 9, Rect(0, 0, 1000, 1000))); },
         "目标区域被遮挡，自动滚动停止。"},
        {"our own window over the region does not count",
         [&] { capture.windows.prepend(window(8, 77, Rect(0, 0, 1000, 1000))); }, QString()},
        {"the wheel refused", [&] { workspace.scrollRefused = true; },
         "无法向原窗口发送滚动，自动滚动停止；仍可手动滚动。"},
    };
    for (const Case& c : cases) {
        SetUp();
        workspace.scrollRefused = false;
        ownWindowAt = {-1, -1};
        scroller.observe(ScrollAppendResult::Kind::appended, 0);
        clock.advance(0.31);
        c.change();
        EXPECT_EQ(scroller.step(target()).value_or(QString()), c.message) << c.what;
    }
}

TEST_F(Scrolling, ItGivesUpWithoutProgressOrWhenMatchesAreLost) {
    using Kind = ScrollAppendResult::Kind;
    scroller.start();
    clock.advance(1.9);
    EXPECT_FALSE(scroller.observe(std::nullopt, 0));
    EXPECT_FALSE(scroller.observe(Kind::unchanged, 0));
    clock.advance(0.2);
    EXPECT_EQ(scroller.observe(std::nullopt, 0), AutoScroller::noChangeMessage());
    EXPECT_EQ(scroller.observe(Kind::unchanged, 0), AutoScroller::noChangeMessage());
    EXPECT_FALSE(scroller.observe(Kind::appended, 0));  // progress resets the wait
    clock.advance(1.9);
    EXPECT_FALSE(scroller.observe(Kind::unchanged, 0));
    EXPECT_FALSE(scroller.observe(Kind::unmatched, 4));
    EXPECT_EQ(scroller.observe(Kind::unmatched, 5),
              "自动滚动已停止。请沿刚才滚动的反方向稍作回滚，匹配恢复后可继续。");
    scroller.stop();
    clock.advance(5);
    EXPECT_FALSE(scroller.observe(Kind::unmatched, 9));  // nothing to stop
}
