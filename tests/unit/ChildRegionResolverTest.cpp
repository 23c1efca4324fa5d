#include <gtest/gtest.h>

#include <QPainter>
#include <deque>

#include "base/Clock.h"
#include "regions/ChildRegionResolver.h"

using namespace tessal;

namespace {

struct DeferredJobs {
    std::deque<std::function<void()>> jobs;
    void runAll() {
        while (!jobs.empty()) {
            auto job = std::move(jobs.front());
            jobs.pop_front();
            job();
        }
    }
};

QImage screenWithPanel() {
    QImage image(1000, 800, QImage::Format_RGB32);
    image.fill(QColor(240, 240, 240));
    QPainter painter(&image);
    painter.fillRect(200, 200, 200, 150, Qt::white);
    return image;
}

}  // namespace

class ChildRegionResolverTest : public ::testing::Test {
  protected:
    ChildRegionResolverTest()
        : worker([this](std::function<void()> job) { jobs.jobs.push_back(std::move(job)); }) {}

    std::shared_ptr<ChildRegionResolver> make(bool withAccessibility) {
        AccessibilityLookup lookup;
        if (withAccessibility) {
            lookup = [this](int pid, Point, const Rect&) {
                ++lookups;
                lastPid = pid;
                return std::vector<Rect>{Rect(10, 10, 300, 300)};
            };
        }
        return ChildRegionResolver::create(screenWithPanel(), Rect(0, 0, 1000, 800),
                                           {{Rect(0, 0, 1000, 800), 42}}, worker, lookup, clock);
    }

    ManualClock clock;
    DeferredJobs jobs;
    ChildAccessibilityWorker worker;
    int lookups = 0;
    int lastPid = 0;
};

TEST_F(ChildRegionResolverTest, VisualRegionsAtOnceAccessibilityOnARepeatedQuery) {
    auto resolver = make(true);
    EXPECT_TRUE(resolver->regions(-1, {0, 0}).empty());
    EXPECT_TRUE(resolver->regions(1, {0, 0}).empty());
    const auto first = resolver->regions(0, {300, 500});
    ASSERT_EQ(first.size(), 1u);  // the visual panel only
    EXPECT_TRUE(worker.busy());
    // A second query while the worker is busy is dropped, not queued.
    resolver->regions(0, {305, 500});
    EXPECT_EQ(jobs.jobs.size(), 1u);
    jobs.runAll();
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(lastPid, 42);
    EXPECT_FALSE(worker.busy());
    // Within 12 points and a second: the record first, then the visual regions, no new query.
    const auto enriched = resolver->regions(0, {310, 505});
    EXPECT_EQ(enriched.size(), 2u);
    EXPECT_EQ(enriched[0], Rect(10, 10, 300, 300));
    EXPECT_TRUE(jobs.jobs.empty());
    // Twelve points away: no record; older than a second: used, and refreshed.
    EXPECT_EQ(resolver->regions(0, {312, 500}).size(), 1u);
    jobs.runAll();
    clock.advance(1.5);
    EXPECT_EQ(resolver->regions(0, {300, 500}).size(), 2u);
    EXPECT_EQ(jobs.jobs.size(), 1u);
}

TEST_F(ChildRegionResolverTest, WithoutASourceAndAfterTheResolverIsGone) {
    auto visualOnly = make(false);
    EXPECT_EQ(visualOnly->regions(0, {300, 500}).size(), 1u);
    EXPECT_TRUE(jobs.jobs.empty());

    auto resolver = make(true);
    resolver->regions(0, {300, 500});
    resolver.reset();  // the capture ended while the job waited
    jobs.runAll();
    EXPECT_EQ(lookups, 0);
    EXPECT_FALSE(worker.busy());
}

TEST_F(ChildRegionResolverTest, TheCacheKeepsTheNewest48Records) {
    auto resolver = make(true);
    for (int i = 0; i < 49; ++i) {
        resolver->regions(0, {double(i * 20), 0});
        jobs.runAll();
    }
    clock.advance(0.5);
    // The first point's record was evicted: asking there queries again.
    resolver->regions(0, {0, 0});
    EXPECT_EQ(jobs.jobs.size(), 1u);
    jobs.runAll();
    resolver->regions(0, {40, 0});  // the third is still there and fresh
    EXPECT_TRUE(jobs.jobs.empty());
}
