#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "ScrollStitcher.h"
#include "base/geometry.h"
#include "platform/Workspace.h"

namespace tessal {

class Clock;
class ScreenCaptureService;
class ScrollInjector;

// Automatic scrolling of a long capture's source: when a step is due, where the wheel turns,
// how far, and when to give up. The controller tells it what each frame did and shows the
// message it stops with.
class AutoScroller {
  public:
    struct Environment {
        const Clock& clock;
        Workspace& workspace;
        ScrollInjector& injector;
        ScreenCaptureService& capture;
        int ownPid = 0;
        // Whether a visible window of ours lies over the point (window-list points).
        std::function<bool(Point)> onOwnWindow;
    };
    // One step's circumstances.
    struct Target {
        WindowOwner source;
        Rect region;       // window-list points
        Rect sourceFrame;  // window-list points
        double extent;     // the region's length along the axis, points
        LongCaptureAxis axis;
        bool reverse;  // the capture grows towards the start of the content
        int speed;     // 0 slow, 1 normal, 2 fast
        // Our frame around the region when our windows take the pointer over their whole
        // rectangles (window-list points): the wheel then turns just outside it, where no
        // window of ours is. Empty: the pointer passes through our frame and listed windows.
        Rect blockingFrame = {};
    };

    explicit AutoScroller(Environment environment);

    bool active() const { return active_; }
    int postedCount() const { return posted_; }
    void start();
    void stop();

    // Turns the wheel once when a step is due; the reason to stop when it cannot.
    std::optional<QString> step(const Target& target);
    // What a frame's outcome (none: no frame came) means for scrolling; the reason to stop.
    std::optional<QString> observe(std::optional<ScrollAppendResult::Kind> kind,
                                   int consecutiveUnmatched);

    static QString noChangeMessage();

  private:
    Environment env_;
    bool active_ = false;
    int posted_ = 0;
    double lastStep_ = -1e9;
    double lastProgress_ = 0;
    bool awaitingFrame_ = false;
    bool resent_ = false;  // the step awaited was sent once more
};

}  // namespace tessal
