#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/Clock.h"
#include "base/MainQueue.h"
#include "capture/CaptureCountdown.h"

using namespace tessal;

namespace {

struct Recorded {
    std::vector<std::pair<double, int>> ticks;  // (elapsed, seconds left)
    std::vector<double> finished;
    int cancelled = 0;
};

void record(CaptureCountdown& countdown, const ManualClock& clock, double start, Recorded& r) {
    countdown.onTick = [&, start](int left) { r.ticks.push_back({clock.uptime() - start, left}); };
    countdown.onFinished = [&, start] { r.finished.push_back(clock.uptime() - start); };
    countdown.onCancelled = [&] { ++r.cancelled; };
}

}  // namespace

// Whole and fractional delays: the seconds left on the start and at each whole second, the end
// exactly when the delay has passed and never before.
TEST(CaptureCountdown, AnnouncesEachSecondAndEndsOnTime) {
    struct Case {
        double seconds;
        std::vector<std::pair<double, int>> ticks;
    };
    const std::vector<Case> cases{
        {3, {{0, 3}, {1, 2}, {2, 1}}},
        {1.5, {{0, 2}, {0.5, 1}}},
        {0.2, {{0, 1}}},
        {60, {}},
    };
    for (const Case& c : cases) {
        ManualClock clock;
        ManualMainQueue queue(clock);
        CaptureCountdown countdown(queue, clock);
        Recorded r;
        record(countdown, clock, clock.uptime(), r);
        ASSERT_TRUE(countdown.start(c.seconds));
        queue.advance(c.seconds - 0.001);
        EXPECT_TRUE(r.finished.empty()) << c.seconds;
        EXPECT_TRUE(countdown.running());
        queue.advance(0.002);
        ASSERT_EQ(r.finished.size(), 1u) << c.seconds;
        EXPECT_NEAR(r.finished[0], c.seconds, 1e-6);
        EXPECT_FALSE(countdown.running());
        if (!c.ticks.empty()) {
            ASSERT_EQ(r.ticks.size(), c.ticks.size()) << c.seconds;
            for (std::size_t i = 0; i < c.ticks.size(); ++i) {
                EXPECT_NEAR(r.ticks[i].first, c.ticks[i].first, 1e-6) << c.seconds;
                EXPECT_EQ(r.ticks[i].second, c.ticks[i].second) << c.seconds;
            }
        } else {
            EXPECT_EQ(r.ticks.size(), 60u);
        }
    }
}

TEST(CaptureCountdown, ACancelOrARestartEndsTheWaitWithoutItsEnd) {
    ManualClock clock;
    ManualMainQueue queue(clock);
    CaptureCountdown countdown(queue, clock);
    Recorded r;
    record(countdown, clock, clock.uptime(), r);
    countdown.start(5);
    queue.advance(2.5);
    EXPECT_EQ(countdown.secondsLeft(), 3);
    EXPECT_TRUE(countdown.cancel());
    EXPECT_FALSE(countdown.cancel()) << "nothing left to cancel";
    queue.advance(10);
    EXPECT_TRUE(r.finished.empty());
    EXPECT_EQ(r.cancelled, 1);
    EXPECT_EQ(countdown.secondsLeft(), 0);

    // Started again while running: the new delay counts from now, once.
    countdown.start(3);
    queue.advance(2);
    countdown.start(1);
    queue.advance(5);
    EXPECT_EQ(r.finished.size(), 1u);
    EXPECT_NEAR(r.finished[0], 2.5 + 10 + 2 + 1, 1e-6);

    // Refused delays change nothing.
    for (double bad : {0.0, -1.0, 60.5, 1e9, std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(countdown.start(bad)) << bad;
    EXPECT_FALSE(countdown.running());
}

TEST(CaptureCountdown, DelaysReadFromTheCommandLine) {
    EXPECT_EQ(parseCaptureDelay("3"), 3.0);
    EXPECT_EQ(parseCaptureDelay("0.5"), 0.5);
    EXPECT_EQ(parseCaptureDelay("0"), 0.0);
    EXPECT_EQ(parseCaptureDelay("60"), 60.0);
    for (const char* bad : {"-1", "60.01", "1e9", "nan", "inf", "", "3s", "abc"})
        EXPECT_FALSE(parseCaptureDelay(bad)) << bad;
}
