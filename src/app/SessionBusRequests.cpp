#include "SessionBusRequests.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cmath>

#include "AppDelegate.h"
#include "base/AtomicFile.h"
#include "base/FileErrors.h"
#include "base/MainQueue.h"
#include "capture/CaptureCountdown.h"
#include "capture/StillCapture.h"
#include "imaging/PngEncoder.h"
#include "platform/ScreenCaptureService.h"

namespace tessal {

namespace {

BusRefusal refusal(BusRefusal::Kind kind, const QString& message) {
    return {kind, message};
}

// After the method's reply: what these start may wait in an alert of its own, which must not
// hold the caller (or time its call out).
void later(std::function<void()> work) {
    QtMainQueue::shared().async(std::move(work));
}

}  // namespace

BusAnswer writeStillFor(ScreenCaptureService& capture, int ownPid, int display,
                        std::optional<Rect> localRegion, const QString& path) {
    // The caller's working folder is unknown here: a relative path would land in Tessal's.
    if (path.isEmpty() || !QFileInfo(path).isAbsolute())
        return refusal(BusRefusal::Kind::invalidInput,
                       QCoreApplication::translate("SessionBusRequests", "路径必须是绝对路径：“%1”")
                           .arg(path));
    if (const QString obstacle = writeObstacle(path); !obstacle.isEmpty())
        return refusal(BusRefusal::Kind::invalidInput,
                       QCoreApplication::translate("SessionBusRequests", "无法写入 %1：%2")
                           .arg(path, obstacle));
    const Result<StillCapture> still = takeStill(capture, ownPid, display, localRegion);
    if (!still)
        return refusal(still.error().code == stillBadInput ? BusRefusal::Kind::invalidInput
                                                           : BusRefusal::Kind::failed,
                       still.error().message);
    const auto png = PngEncoder::encode(still.value().image);
    QString error;
    if (!png || !writeFileAtomically(path, *png, &error))
        return refusal(
            BusRefusal::Kind::failed,
            QCoreApplication::translate("SessionBusRequests", "无法写入 %1：%2").arg(path, error));
    return std::nullopt;
}

QString captureBusyMessage() {
    return QCoreApplication::translate("SessionBusRequests", "正在截图：请先完成或取消当前的截图");
}

BusRequests sessionBusRequests(AppDelegate& delegate, ScreenCaptureService& capture, int ownPid,
                               std::function<SessionBusService*()> service) {
    // One capture at a time. Capture and LastRegion while a session is open replace it, as the
    // shortcut does; only one still being taken at that moment refuses them. The stills written
    // to files would read the frozen screen or the overlays: refused while a session is open.
    auto refusedBusy = [] { return refusal(BusRefusal::Kind::busy, captureBusyMessage()); };
    auto busy = [&delegate, refusedBusy]() -> BusAnswer {
        if (delegate.capturing()) return refusedBusy();
        return std::nullopt;
    };
    auto sessionOpen = [&delegate, refusedBusy]() -> BusAnswer {
        if (delegate.capturing() || delegate.captureSessionOpen()) return refusedBusy();
        return std::nullopt;
    };
    // The signal follows the method's reply, so a caller that waits for it after the call
    // cannot miss it.
    auto done = [service](const QString& path) {
        QtMainQueue::shared().async([service, path] {
            if (SessionBusService* s = service()) s->captureDone(path);
        });
    };
    delegate.onCaptureCancelled = [service] {
        QtMainQueue::shared().async([service] {
            if (SessionBusService* s = service()) s->captureCancelled();
        });
    };
    BusRequests r;
    r.capture = [&delegate, busy](double delay) -> BusAnswer {
        if (BusAnswer refused = busy()) return refused;
        if (!std::isfinite(delay) || delay < 0 || delay > CaptureCountdown::maximumSeconds)
            return refusal(
                BusRefusal::Kind::invalidInput,
                QCoreApplication::translate("SessionBusRequests", "延时须在 0 到 %1 秒之间")
                    .arg(CaptureCountdown::maximumSeconds));
        later([&delegate, delay] {
            if (delay > 0)
                delegate.takeScreenshotAfter(delay);
            else
                delegate.takeScreenshot();
        });
        return std::nullopt;
    };
    r.captureFull = [&capture, ownPid, sessionOpen, done](int display,
                                                          const QString& path) -> BusAnswer {
        if (BusAnswer refused = sessionOpen()) return refused;
        BusAnswer answer = writeStillFor(capture, ownPid, display, std::nullopt, path);
        if (!answer) done(path);
        return answer;
    };
    r.captureRegion = [&capture, ownPid, sessionOpen, done](const Rect& region,
                                                            const QString& path) -> BusAnswer {
        if (BusAnswer refused = sessionOpen()) return refused;
        if (!(region.size.width > 0 && region.size.height > 0 && region.size.width <= 1e6 &&
              region.size.height <= 1e6 && std::abs(region.origin.x) <= 1e6 &&
              std::abs(region.origin.y) <= 1e6))
            return refusal(
                BusRefusal::Kind::invalidInput,
                QCoreApplication::translate("SessionBusRequests", "区域的宽和高须为正数"));
        std::vector<Rect> frames;
        for (const DisplayInfo& d : capture.displays()) frames.push_back(d.frame);
        const auto local = displayOfRegion(frames, region);
        if (!local)
            return refusal(
                BusRefusal::Kind::invalidInput,
                QCoreApplication::translate("SessionBusRequests", "这个区域不在任何显示器上"));
        BusAnswer answer = writeStillFor(capture, ownPid, local->first, local->second, path);
        if (!answer) done(path);
        return answer;
    };
    r.lastRegion = [&delegate, busy]() -> BusAnswer {
        if (BusAnswer refused = busy()) return refused;
        later([&delegate] { delegate.captureLastRegion(); });
        return std::nullopt;
    };
    r.openHistory = [&delegate]() -> BusAnswer {
        later([&delegate] { delegate.showHistory(); });
        return std::nullopt;
    };
    r.openPreferences = [&delegate]() -> BusAnswer {
        later([&delegate] { delegate.showPreferences(); });
        return std::nullopt;
    };
    return r;
}

}  // namespace tessal
