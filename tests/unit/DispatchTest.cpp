#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "base/Clock.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"

using namespace tessal;

TEST(SerialQueue, RunsInOrderOnOneThreadAndFlushWaits) {
    SerialQueue& queue = SerialQueue::named("local.ostrel.test");
    EXPECT_EQ(&queue, &SerialQueue::named("local.ostrel.test"));
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    for (int i = 0; i < 50; ++i) {
        queue.async([&, i] {
            if (i == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            order.push_back(i);
            threads.push_back(std::this_thread::get_id());
        });
    }
    queue.flush();
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
    for (auto id : threads) EXPECT_EQ(id, threads.front());
    EXPECT_NE(threads.front(), std::this_thread::get_id());
}

TEST(SerialQueue, FlushFromInsideTheQueueDoesNotDeadlock) {
    SerialQueue queue("local.ostrel.test.inner");
    std::atomic<bool> ran{false};
    queue.async([&] {
        queue.flush();
        ran = true;
    });
    queue.flush();
    EXPECT_TRUE(ran);
}

// Quitting while a query runs on a worker queue: closing the queue waits for that query and
// drops what comes later, so the service it uses can be destroyed right after (under the
// sanitizer build a job that outlived the service would be reported as a use after free).
TEST(SerialQueue, CloseWaitsForRunningWorkAndRefusesLaterWork) {
    struct SlowService {
        std::vector<int> answers;
        void query() {
            std::this_thread::sleep_for(std::chrono::milliseconds(80));
            answers.push_back(1);
        }
    };
    SerialQueue queue("local.ostrel.test.close");
    auto service = std::make_unique<SlowService>();
    std::atomic<bool> started{false};
    SlowService* raw = service.get();
    queue.async([raw, &started] {
        started = true;
        raw->query();
    });
    queue.async([raw] { raw->query(); });  // already submitted: still runs before close returns
    while (!started) std::this_thread::yield();
    queue.close();
    EXPECT_EQ(service->answers.size(), 2u);
    service.reset();
    std::atomic<bool> late{false};
    queue.async([&late] { late = true; });
    queue.flush();
    queue.close();
    EXPECT_FALSE(late);
}

TEST(ManualMainQueue, DelayedWorkRunsInTimeOrderAndCancelledWorkNever) {
    ManualClock clock(100);
    ManualMainQueue queue(clock);
    std::vector<std::string> log;
    queue.after(0.5, [&] { log.push_back("b@" + std::to_string(clock.uptime())); });
    auto cancelled = queue.after(0.2, [&] { log.push_back("cancelled"); });
    queue.after(0.1, [&] {
        log.push_back("a");
        queue.async([&] { log.push_back("a-follow-up"); });
    });
    cancelled->cancel();
    EXPECT_EQ(queue.pendingCount(), 2u);
    queue.runPending();
    EXPECT_TRUE(log.empty());
    queue.advance(0.3);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "a-follow-up"}));
    queue.advance(1.0);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2], "b@100.500000");
    EXPECT_DOUBLE_EQ(clock.uptime(), 101.3);
}
