#pragma once

#include <QImage>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "base/ScreenSnapshot.h"
#include "base/geometry.h"

namespace tessal {

class Clock;

// Runs accessibility queries one at a time for the whole program; a query submitted while
// another is pending or running is dropped, not queued.
class ChildAccessibilityWorker {
  public:
    using Executor = std::function<void(std::function<void()>)>;
    explicit ChildAccessibilityWorker(Executor executor);
    // The program's worker, on the serial queue "local.ostrel.accessibility".
    static ChildAccessibilityWorker& shared();

    bool submit(std::function<void()> job);
    bool busy() const;

  private:
    Executor executor_;
    mutable std::mutex mutex_;
    bool busy_ = false;
};

// Regions from the accessibility tree of a window's application: (pid, point, window) → rects.
using AccessibilityLookup =
    std::function<std::vector<Rect>(int pid, Point point, const Rect& window)>;

// One display's answer to "which regions lie under this point inside this window": the visual
// regions at once (computed once per window), with accessibility regions added from a short-lived
// cache filled in the background (they arrive on a repeated query near the same point).
class ChildRegionResolver : public std::enable_shared_from_this<ChildRegionResolver> {
  public:
    static std::shared_ptr<ChildRegionResolver> create(QImage image, const Rect& screen,
                                                       std::vector<WindowTarget> targets,
                                                       ChildAccessibilityWorker& worker,
                                                       AccessibilityLookup accessibility,
                                                       const Clock& clock);

    // Raw regions of window `index` around `point`: cached accessibility regions first, then the
    // visual ones. Callable from any thread; never waits for another application.
    std::vector<Rect> regions(int index, Point point);

    static constexpr std::size_t cacheSize = 48;
    static constexpr double freshness = 1.0;
    static constexpr double reach = 12;

  private:
    ChildRegionResolver(QImage image, const Rect& screen, std::vector<WindowTarget> targets,
                        ChildAccessibilityWorker& worker, AccessibilityLookup accessibility,
                        const Clock& clock);

    struct Record {
        int index;
        Point point;
        std::vector<Rect> regions;
        double time;
    };

    QImage image_;
    Rect screen_;
    std::vector<WindowTarget> targets_;
    ChildAccessibilityWorker& worker_;
    AccessibilityLookup accessibility_;
    const Clock& clock_;
    std::mutex mutex_;
    std::vector<std::optional<std::vector<Rect>>> visualCache_;
    std::vector<Record> accessibleCache_;
};

}  // namespace tessal
