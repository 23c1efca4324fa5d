#include "AutoScroller.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <vector>

#include "base/Clock.h"
#include "capture/ScreenGeometry.h"
#include "platform/ScreenCaptureService.h"
#include "platform/ScrollInjector.h"

namespace tessal {
namespace {

constexpr double kNoProgressStop = 2.0;
constexpr double kAutoScrollSpacing = 0.3;
// A step whose frame has not come by then is sent once more: a desktop may drop a turn (GNOME
// drops the events of a remote pointer it has not added to its seat yet, which takes longer on
// a busy machine). The wait for progress starts again with it.
constexpr double kResendAfter = 1.0;
// Regions shorter than this many steps are not sent a step twice.
constexpr double kResendOverlap = 3;
// Wheel notches are all X11 can post, and toolkits decide how far one goes: measured here, a Qt
// list 60 points, xterm 65 (five lines), a GTK 3 text view 53. A step is rounded to whole
// notches, at least one: nearly always one, two for the fast speed on regions over 560 points.
constexpr double kPointsPerNotch = 60;
constexpr double kSpeedFactors[] = {0.06, 0.1, 0.16};
// How far beyond a frame that takes the pointer the wheel turns: past a pointer's picture drawn
// there for a moment, yet close enough to be over the same scrolling view in most windows.
constexpr double kProbeClearance = 24;

// Where the wheel may turn, best first: across the middle of the region, or, when our frame
// around it takes the pointer, just outside that frame (below, above, then beside it).
std::vector<Point> probePoints(const Rect& r, const Rect& frame) {
    std::vector<Point> probes;
    if (frame.isEmpty()) {
        for (double share : {0.5, 0.25, 0.75})
            probes.push_back({r.minX() + r.width() * share, r.minY() + r.height() / 2});
        return probes;
    }
    for (double share : {0.5, 0.25, 0.75}) {
        const double x = frame.minX() + frame.width() * share;
        probes.push_back({x, frame.maxY() + kProbeClearance});
        probes.push_back({x, frame.minY() - kProbeClearance});
    }
    const double y = frame.minY() + frame.height() / 2;
    probes.push_back({frame.maxX() + kProbeClearance, y});
    probes.push_back({frame.minX() - kProbeClearance, y});
    return probes;
}

}  // namespace

AutoScroller::AutoScroller(Environment environment) : env_(std::move(environment)) {}

QString AutoScroller::noChangeMessage() {
    return QCoreApplication::translate("AutoScroller",
                                       "画面未变化，自动滚动已停止。可手动继续，或直接复制。");
}

void AutoScroller::start() {
    env_.injector.prepareScrolling();
    active_ = true;
    awaitingFrame_ = resent_ = false;
    lastProgress_ = lastStep_ = env_.clock.uptime();
}

void AutoScroller::stop() {
    active_ = false;
    awaitingFrame_ = false;
}

std::optional<QString> AutoScroller::observe(std::optional<ScrollAppendResult::Kind> kind,
                                             int consecutiveUnmatched) {
    using Kind = ScrollAppendResult::Kind;
    const double now = env_.clock.uptime();
    if (kind == Kind::appended || kind == Kind::cropped) {
        awaitingFrame_ = false;
        lastProgress_ = now;
    }
    if (!active_) return std::nullopt;
    if (consecutiveUnmatched >= 5)
        return QCoreApplication::translate(
            "AutoScroller", "自动滚动已停止。请沿刚才滚动的反方向稍作回滚，匹配恢复后可继续。");
    if ((!kind || kind == Kind::unchanged) && now - lastProgress_ > kNoProgressStop)
        return noChangeMessage();
    return std::nullopt;
}

std::optional<QString> AutoScroller::step(const Target& target) {
    const double now = env_.clock.uptime();
    if (now - lastStep_ < kAutoScrollSpacing) return std::nullopt;
    const int speed = std::clamp(target.speed, 0, 2);
    const int stepLength = int(std::clamp(target.extent * kSpeedFactors[speed], 8.0, 96.0));
    const int notches = std::max(1, int(std::lround(stepLength / kPointsPerNotch)));
    // A frame only late would then show two steps at once: only where the region still holds
    // what both leave in view.
    const bool mayResend = target.extent >= kResendOverlap * notches * kPointsPerNotch;
    if (awaitingFrame_ && (resent_ || !mayResend || now - lastStep_ < kResendAfter))
        return std::nullopt;
    const bool resending = awaitingFrame_;
    // A source whose process is unknown is followed by its window. Where the desktop does not
    // say which window is in front (GNOME without our extension), that cannot be checked. Our
    // own window in front is no other application: on Wayland the capture's panels have the
    // keyboard so that its keys reach it.
    const WindowOwner front = env_.workspace.frontmost();
    if (env_.workspace.knowsFrontmost() && !target.source.owns(front.pid, front.window) &&
        !(front.pid > 0 && front.pid == env_.ownPid))
        return QCoreApplication::translate("AutoScroller", "已切换应用，自动滚动停止。");
    // The first probe where the source window is the front-most window of another program than
    // ours is where the wheel turns.
    const Rect& r = target.region;
    const std::vector<WindowListEntry> windows = parseWindowList(env_.capture.windowList());
    std::optional<Point> usable;
    for (const Point probe : probePoints(r, target.blockingFrame)) {
        if (env_.onOwnWindow && env_.onOwnWindow(probe)) continue;
        for (const WindowListEntry& w : windows) {
            if (!w.bounds || !w.bounds->contains(probe)) continue;
            if (w.alpha && *w.alpha <= 0) continue;
            // Ours are passed through unless our windows take the pointer.
            if (w.pid && *w.pid == env_.ownPid) {
                if (target.blockingFrame.isEmpty()) continue;
                break;
            }
            if (w.number && *w.number == target.source.window) usable = probe;
            break;
        }
        if (usable) break;
    }
    if (!usable)
        return QCoreApplication::translate("AutoScroller", "目标区域被遮挡，自动滚动停止。");
    const ScrollRequest request{*usable, target.reverse ? -notches : notches,
                                target.axis == LongCaptureAxis::horizontal, r, target.sourceFrame};
    if (!env_.injector.postScroll(request))
        return QCoreApplication::translate("AutoScroller",
                                           "无法向原窗口发送滚动，自动滚动停止；仍可手动滚动。");
    lastStep_ = now;
    awaitingFrame_ = true;
    resent_ = resending;
    if (resending) lastProgress_ = now;
    ++posted_;
    return std::nullopt;
}

}  // namespace tessal
