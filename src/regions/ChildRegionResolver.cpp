#include "ChildRegionResolver.h"

#include <cmath>

#include "VisualChildRegions.h"
#include "base/Clock.h"
#include "base/SerialQueue.h"

namespace tessal {

ChildAccessibilityWorker::ChildAccessibilityWorker(Executor executor)
    : executor_(std::move(executor)) {}

ChildAccessibilityWorker& ChildAccessibilityWorker::shared() {
    static ChildAccessibilityWorker worker(SerialQueue::submitter("local.ostrel.accessibility"));
    return worker;
}

bool ChildAccessibilityWorker::submit(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        if (busy_) return false;
        busy_ = true;
    }
    executor_([this, job = std::move(job)] {
        job();
        std::lock_guard lock(mutex_);
        busy_ = false;
    });
    return true;
}

bool ChildAccessibilityWorker::busy() const {
    std::lock_guard lock(mutex_);
    return busy_;
}

std::shared_ptr<ChildRegionResolver> ChildRegionResolver::create(QImage image, const Rect& screen,
                                                                 std::vector<WindowTarget> targets,
                                                                 ChildAccessibilityWorker& worker,
                                                                 AccessibilityLookup accessibility,
                                                                 const Clock& clock) {
    return std::shared_ptr<ChildRegionResolver>(new ChildRegionResolver(
        std::move(image), screen, std::move(targets), worker, std::move(accessibility), clock));
}

ChildRegionResolver::ChildRegionResolver(QImage image, const Rect& screen,
                                         std::vector<WindowTarget> targets,
                                         ChildAccessibilityWorker& worker,
                                         AccessibilityLookup accessibility, const Clock& clock)
    : image_(std::move(image)),
      screen_(screen),
      targets_(std::move(targets)),
      worker_(worker),
      accessibility_(std::move(accessibility)),
      clock_(clock),
      visualCache_(targets_.size()) {}

std::vector<Rect> ChildRegionResolver::regions(int index, Point point) {
    if (index < 0 || index >= int(targets_.size())) return {};
    const WindowTarget target = targets_[index];

    std::optional<std::vector<Rect>> visual;
    {
        std::lock_guard lock(mutex_);
        visual = visualCache_[index];
    }
    if (!visual) {
        // Computed outside the lock; two first queries may both compute, the last store stands.
        visual = visualChildRegions(image_, screen_.size, target.rect);
        std::lock_guard lock(mutex_);
        visualCache_[index] = visual;
    }

    std::optional<Record> found;
    {
        std::lock_guard lock(mutex_);
        for (auto it = accessibleCache_.rbegin(); it != accessibleCache_.rend(); ++it) {
            if (it->index == index &&
                std::hypot(it->point.x - point.x, it->point.y - point.y) < reach) {
                found = *it;
                break;
            }
        }
    }
    if (!accessibility_) return *visual;

    auto combined = [&] {
        std::vector<Rect> all = found ? found->regions : std::vector<Rect>{};
        all.insert(all.end(), visual->begin(), visual->end());
        return all;
    };
    if (found && clock_.uptime() - found->time <= freshness) return combined();

    std::weak_ptr<ChildRegionResolver> weak = weak_from_this();
    worker_.submit(
        [weak, lookup = accessibility_, pid = target.pid, point, window = target.rect, index] {
            if (weak.expired()) return;
            std::vector<Rect> result = lookup(pid, point, window);
            auto resolver = weak.lock();
            if (!resolver) return;
            std::lock_guard lock(resolver->mutex_);
            if (resolver->accessibleCache_.size() >= cacheSize)
                resolver->accessibleCache_.erase(resolver->accessibleCache_.begin());
            resolver->accessibleCache_.push_back(
                {index, point, std::move(result), resolver->clock_.uptime()});
        });
    return combined();
}

}  // namespace tessal
