#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace tessal {

class Clock;
class ManualClock;

// A piece of delayed main-thread work that can be cancelled; once cancelled it never runs.
class WorkItem {
  public:
    void cancel() { cancelled_ = true; }
    bool isCancelled() const { return cancelled_; }

  private:
    bool cancelled_ = false;
};

// The main thread's queue: work queued for a later turn of the event loop, or after a delay.
// Safe to call from any thread.
class MainQueue {
  public:
    virtual ~MainQueue() = default;
    virtual void async(std::function<void()> work) = 0;
    virtual std::shared_ptr<WorkItem> after(double seconds, std::function<void()> work) = 0;
};

// The Qt event loop of the application's main thread.
class QtMainQueue final : public MainQueue {
  public:
    void async(std::function<void()> work) override;
    std::shared_ptr<WorkItem> after(double seconds, std::function<void()> work) override;
    static QtMainQueue& shared();
};

// A queue for tests, driven by a ManualClock: nothing runs until runPending() or advance().
class ManualMainQueue final : public MainQueue {
  public:
    explicit ManualMainQueue(ManualClock& clock) : clock_(clock) {}
    void async(std::function<void()> work) override;
    std::shared_ptr<WorkItem> after(double seconds, std::function<void()> work) override;

    // Runs everything due now, including work queued by the work it runs.
    void runPending();
    // Moves the clock forward, running delayed work in time order at its due time.
    void advance(double seconds);
    std::size_t pendingCount() const;

  private:
    struct Entry {
        std::shared_ptr<WorkItem> item;
        std::function<void()> work;
    };
    ManualClock& clock_;
    mutable std::mutex mutex_;  // work may be queued from other threads
    std::multimap<std::pair<double, unsigned long>, Entry> entries_;
    unsigned long sequence_ = 0;
};

}  // namespace tessal
