#include "WindowSource.h"

#include <QCoreApplication>

#include "ScreenGeometry.h"
#include "StillCapture.h"

namespace tessal {

namespace {

UserError failure(StillCaptureError code, const QString& message) {
    return {QString::fromLatin1(stillCaptureDomain), code, message};
}

std::optional<Rect> listedFrame(const QVariantList& windowList, unsigned number) {
    for (const WindowListEntry& entry : parseWindowList(windowList))
        if (entry.number == number && entry.bounds) return entry.bounds;
    return std::nullopt;
}

}  // namespace

Result<WindowPlace> placeWindow(const QVariantList& windowList,
                                const std::vector<Rect>& displayFrames, const WindowChoice& choice,
                                int ownPid) {
    std::optional<Rect> frame;
    switch (choice.kind) {
        case WindowChoice::Kind::number:
            frame = listedFrame(windowList, choice.number);
            if (!frame)
                return failure(stillBadInput,
                               QCoreApplication::translate(
                                   "WindowSource",
                                   "没有编号为 %1 的窗口（tessal capture --list-windows 列出窗口）")
                                   .arg(choice.number));
            break;
        case WindowChoice::Kind::active:
            if (choice.number != 0) frame = listedFrame(windowList, choice.number);
            if (!frame)
                return failure(stillFailed,
                               QCoreApplication::translate("WindowSource", "没有可截取的活动窗口"));
            break;
        case WindowChoice::Kind::underPointer:
            if (!choice.pointer)
                return failure(stillFailed, QCoreApplication::translate(
                                                "WindowSource", "这个桌面不告知指针的位置"));
            // The windows the interactive path offers, front to back: the first under the
            // pointer is the one a click there would pick.
            for (const WindowTarget& target : captureWindowTargets(windowList, ownPid)) {
                if (target.rect.contains(*choice.pointer)) {
                    frame = target.rect;
                    break;
                }
            }
            if (!frame)
                return failure(stillFailed, QCoreApplication::translate("WindowSource",
                                                                        "指针下没有可截取的窗口"));
            break;
    }
    const double top = primaryTop(displayFrames);
    std::optional<WindowPlace> best;
    double bestArea = 0;
    for (std::size_t i = 0; i < displayFrames.size(); ++i) {
        // Clipped to the display, as the interactive path shows it there.
        const auto local = localWindowRect(*frame, displayFrames[i], top);
        if (!local) continue;
        const double area = local->width() * local->height();
        if (area > bestArea) {
            bestArea = area;
            best = WindowPlace{int(i), *local};
        }
    }
    if (!best)
        return failure(stillFailed,
                       QCoreApplication::translate("WindowSource", "这个窗口不在任何显示器上"));
    return *best;
}

}  // namespace tessal
