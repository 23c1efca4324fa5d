#include <gtest/gtest.h>

#include <cmath>
#include <deque>

#include "base/Clock.h"
#include "base/MainQueue.h"
#include "capture/SelectionViewModel.h"

using namespace tessal;

namespace {

// Region queries that run only when the test says so, as a slow region source would.
struct DeferredRegionQueue {
    std::deque<std::function<void()>> jobs;
    SelectionViewModel::RegionQueue queue() {
        return [this](std::function<void()> job) { jobs.push_back(std::move(job)); };
    }
    void runAll() {
        while (!jobs.empty()) {
            auto job = std::move(jobs.front());
            jobs.pop_front();
            job();
        }
    }
};

const Rect kFront(100, 100, 400, 300);
const Rect kBack(300, 200, 500, 400);
const Rect kPanel(150, 150, 200, 150);
const Rect kCard(160, 160, 120, 100);

}  // namespace

class SelectionViewModelTest : public ::testing::Test {
  protected:
    SelectionViewModelTest() { rebuild(); }

    void rebuild(bool withRegions = true) {
        ScreenSnapshot snapshot;
        snapshot.frame = Rect(0, 0, 1000, 800);
        snapshot.image = QImage(2000, 1600, QImage::Format_RGB32);
        snapshot.windows = {kFront, kBack};
        if (withRegions) {
            snapshot.childRegions = [this](int index, Point p) {
                ++queries;
                queryPoints.push_back(p);
                return index == 0 ? regions : std::vector<Rect>{};
            };
        }
        model = std::make_unique<SelectionViewModel>(snapshot, queue, clock, regionQueue.queue());
        model->onSelect = [this](const Rect& r) { chosen.push_back(r); };
        model->onRepaint = [this] { ++repaints; };
    }

    // Lets time pass in 5 ms steps, every pending query answering at once.
    void settle(double seconds = 0) {
        const double end = clock.uptime() + seconds;
        for (;;) {
            for (int i = 0; i < 5; ++i) {
                regionQueue.runAll();
                queue.runPending();
            }
            if (clock.uptime() >= end - 1e-9) break;
            queue.advance(std::min(0.005, end - clock.uptime()));
        }
    }

    ManualClock clock;
    ManualMainQueue queue{clock};
    DeferredRegionQueue regionQueue;
    std::vector<Rect> regions{kPanel, kCard};
    int queries = 0;
    std::vector<Point> queryPoints;
    std::vector<Rect> chosen;
    int repaints = 0;
    std::unique_ptr<SelectionViewModel> model;
};

TEST_F(SelectionViewModelTest, HoverHighlightsFrontToBackWithTheDesktopAsFallback) {
    model->updateHover({350, 250});  // in both windows: the front one wins
    EXPECT_EQ(model->hoveredWindow(), kFront);
    model->updateHover({700, 500});
    EXPECT_EQ(model->hoveredWindow(), kBack);
    model->updateHover({-5, 50});  // outside the view
    EXPECT_EQ(model->hoveredWindow(), std::nullopt);
    model->updateHover({950, 50});
    EXPECT_EQ(model->hoveredWindow(), Rect(0, 0, 1000, 800));
    model->updateHover({std::nan(""), 5});  // ignored
    EXPECT_EQ(model->hoveredWindow(), Rect(0, 0, 1000, 800));
    // Repaints follow changes only.
    const int before = repaints;
    model->updateHover({960, 60});
    model->updateHover({350, 250});
    model->updateHover({351, 251});
    EXPECT_EQ(repaints, before + 1);
}

TEST_F(SelectionViewModelTest, ClickTakesTheHighlightAndADragDrawsAFreeRectangle) {
    model->updateHover({450, 350});
    model->mouseDown({450, 350});
    model->mouseDragged({452.9, 350});  // 2.9 points: still a click
    model->mouseUp({452.9, 350});
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0], kFront);
    EXPECT_TRUE(model->selected());
    // Passive now.
    model->mouseDown({10, 10});
    model->updateHover({10, 10});
    EXPECT_EQ(model->selection(), kFront);

    rebuild();
    chosen.clear();
    model->updateHover({10, 10});
    model->mouseDown({10, 10});
    model->mouseDragged({13, 10});  // 3 points: a drag
    model->mouseUp({60, 1000});     // clamped to the view
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0], Rect(10, 10, 50, 790));

    // Over no window a click takes the whole display.
    rebuild();
    chosen.clear();
    model->updateHover({950, 50});
    model->mouseDown({950, 50});
    model->mouseUp({950, 50});
    EXPECT_EQ(chosen.at(0), Rect(0, 0, 1000, 800));
}

TEST_F(SelectionViewModelTest, TooSmallDragIsDiscardedAndHoveringResumes) {
    model->updateHover({600, 500});
    model->mouseDown({600, 500});
    model->mouseDragged({602, 550});
    model->mouseUp({602, 550});
    EXPECT_TRUE(chosen.empty());
    EXPECT_FALSE(model->selected());
    EXPECT_EQ(model->selection(), std::nullopt);
    EXPECT_EQ(model->hoveredWindow(), kBack);
    EXPECT_EQ(model->hoverPoint(), (Point{602, 550}));
}

TEST_F(SelectionViewModelTest, ChildRegionAppearsAfterTheCommitDelayAndRestingQueriesStopAtFour) {
    model->updateHover({200, 200});
    EXPECT_EQ(model->hoveredWindow(), kFront);
    settle();
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(model->candidates(), (std::vector<Rect>{kCard, kPanel, kFront}));
    EXPECT_EQ(model->hoveredWindow(), kFront);  // not before 45 ms
    settle(0.044);
    EXPECT_EQ(model->hoveredWindow(), kFront);
    settle(0.002);
    EXPECT_EQ(model->hoveredWindow(), kCard);
    settle(10);
    EXPECT_EQ(queries, 4);  // the first query and three retries while resting
}

TEST_F(SelectionViewModelTest, QueriesStartAtLeastSixtyMillisecondsApart) {
    model->updateHover({200, 200});
    settle();
    model->updateHover({215, 200});  // beyond the cached answer; the next query must wait
    settle();
    EXPECT_EQ(queries, 1);
    settle(0.059);
    EXPECT_EQ(queries, 1);
    settle(0.002);
    EXPECT_EQ(queries, 2);
}

TEST_F(SelectionViewModelTest, LateResultFarAwayOnlyFeedsTheCache) {
    model->updateHover({200, 200});
    model->updateHover({209, 200});  // moved 9 points before the answer
    regionQueue.runAll();
    queue.runPending();
    EXPECT_EQ(model->cacheCount(), 1u);
    EXPECT_EQ(model->hoveredWindow(), kFront);
    EXPECT_TRUE(model->candidates().empty());
    // Within 12 points and a second of the cached point, the cache answers at once.
    const int asked = queries;
    model->updateHover({205, 205});
    EXPECT_EQ(model->candidates().front(), kCard);
    queue.advance(0.05);
    EXPECT_EQ(model->hoveredWindow(), kCard);
    EXPECT_EQ(queries, asked);
    // After a second it is stale.
    clock.advance(1.0);
    model->updateHover({206, 205});
    regionQueue.runAll();
    EXPECT_EQ(queries, asked + 1);
}

TEST_F(SelectionViewModelTest, EmptyResultNeverReplacesAGoodHighlight) {
    model->updateHover({200, 200});
    settle(0.05);
    ASSERT_EQ(model->hoveredWindow(), kCard);
    regions.clear();  // the retries come back without child regions
    settle(5);
    EXPECT_EQ(model->hoveredWindow(), kCard);
    EXPECT_EQ(model->candidates().size(), 3u);
}

TEST_F(SelectionViewModelTest, WheelWalksToTheWindowAndAManualChoiceSurvivesLaterResults) {
    model->updateHover({200, 200});
    settle(0.05);
    model->scrollWheel(0);
    model->scrollWheel(std::nan(""));
    EXPECT_EQ(model->hoveredWindow(), kCard);
    model->scrollWheel(120);
    EXPECT_EQ(model->hoveredWindow(), kPanel);
    // Later answers bring the accessibility tree's panel and card as well, a point inside the
    // image's: the wheel's choice holds, and the next step still goes to the window.
    regions = {kCard.insetBy(1, 1), kPanel.insetBy(1, 1), kPanel, kCard};
    settle(5);
    EXPECT_EQ(model->hoveredWindow(), kPanel);
    EXPECT_EQ(model->candidateIndex(), 1);
    model->scrollWheel(1);
    model->scrollWheel(1e9);
    EXPECT_EQ(model->hoveredWindow(), kFront);
    model->scrollWheel(-3);
    model->scrollWheel(-3);
    model->scrollWheel(-3);
    EXPECT_EQ(model->hoveredWindow(), kCard.insetBy(1, 1));  // the card as first found
}

TEST_F(SelectionViewModelTest, MovingToAnotherWindowDropsAnAnswerForTheOldOne) {
    model->updateHover({200, 200});
    model->updateHover({700, 500});  // into the back window before the answer
    regionQueue.runAll();
    queue.runPending();
    EXPECT_EQ(model->hoveredWindow(), kBack);
    EXPECT_EQ(model->cacheCount(), 0u);
    settle(0.1);
    EXPECT_EQ(queryPoints.back(), (Point{700, 500}));
    EXPECT_EQ(model->hoveredWindow(), kBack);
}

TEST_F(SelectionViewModelTest, SpaceModeHighlightsWholeWindowsOnly) {
    model->updateHover({200, 200});
    settle(0.05);
    ASSERT_EQ(model->hoveredWindow(), kCard);
    model->toggleWindowSelection();
    EXPECT_EQ(model->hoveredWindow(), kFront);
    const int asked = queries;
    model->updateHover({201, 201});
    settle(5);
    EXPECT_EQ(queries, asked);
    model->scrollWheel(1);
    EXPECT_EQ(model->hoveredWindow(), kFront);
    model->updateHover({950, 50});
    EXPECT_EQ(model->hoveredWindow(), Rect(0, 0, 1000, 800));
    model->toggleWindowSelection();
    EXPECT_FALSE(model->windowSelectionOnly());
}

TEST_F(SelectionViewModelTest, LeavingAndReenteringStartsAfresh) {
    model->updateHover({200, 200});
    settle(0.05);
    ASSERT_EQ(model->hoveredWindow(), kCard);
    model->mouseExited();
    EXPECT_EQ(model->hoveredWindow(), std::nullopt);
    EXPECT_TRUE(model->candidates().empty());
    // Back at the same place: the window first, as on any entry; the recent answer for this
    // spot (under a second old) brings the card back after the usual commit delay.
    model->updateHover({200, 200});
    EXPECT_EQ(model->hoveredWindow(), kFront);
    settle(0.05);
    EXPECT_EQ(model->hoveredWindow(), kCard);
}

TEST_F(SelectionViewModelTest, PressKeepsACommittedChildRegion) {
    model->updateHover({200, 200});
    settle(0.05);
    model->mouseDown({200, 200});
    model->mouseUp({200, 200});
    EXPECT_EQ(chosen.at(0), kCard);
}

TEST_F(SelectionViewModelTest, WithoutARegionSourceNothingIsQueried) {
    rebuild(false);
    model->updateHover({200, 200});
    settle(5);
    EXPECT_EQ(queries, 0);
    EXPECT_EQ(model->hoveredWindow(), kFront);
}

TEST_F(SelectionViewModelTest, ResetReturnsToHovering) {
    model->updateHover({200, 200});
    model->mouseDown({200, 200});
    model->mouseUp({200, 200});
    ASSERT_TRUE(model->selected());
    model->resetSelection();
    EXPECT_FALSE(model->selected());
    EXPECT_EQ(model->selection(), std::nullopt);
    EXPECT_EQ(model->displayedRect(), std::nullopt);
    model->updateHover({700, 500});
    EXPECT_EQ(model->hoveredWindow(), kBack);
}
