#include "ScreenshotExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <future>
#include <memory>

#include "base/AtomicFile.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "imaging/PngEncoder.h"
#include "platform/Pasteboard.h"
#include "tools/SaveDestination.h"
#include "tools/ScreenshotHistory.h"

namespace tessal {

bool ScreenshotExport::save(const QByteArray& png, const QString& path, DefaultsStore& defaults,
                            const std::function<void(const AlertSpec&)>& showError,
                            ScreenshotHistory* history) {
    QString error;
    if (SaveDestination::writePNG(png, path, defaults, &error)) {
        if (history) history->record(png);
        return true;
    }
    if (showError)
        showError(
            {QCoreApplication::translate("ScreenshotExport", "无法保存截图"),
             QCoreApplication::translate("ScreenshotExport", "无法保存“%1”：%2").arg(path, error),
             {QCoreApplication::translate("ScreenshotExport", "知道了")}});
    return false;
}

ScreenshotExport::CopyOutcome ScreenshotExport::copy(
    BitmapSource bitmap, Pasteboard& pasteboard, const DefaultsStore& defaults,
    MainQueue& mainQueue, ScreenshotHistory* history,
    std::function<void(const AlertSpec&)> showError, Encoder encode) {
    if (!encode) encode = [](const QImage& image) { return PngEncoder::encode(image); };
    auto bytes = std::make_shared<std::promise<QByteArray>>();
    std::shared_future<QByteArray> png = bytes->get_future().share();
    // Whether the clipboard took the offer, and its number; known right after the claim. The
    // worker publishes the bytes first and only then waits for it, so a pasteboard that reads
    // the bytes while claiming cannot wait on the worker forever.
    auto claim = std::make_shared<std::promise<std::uint64_t>>();
    std::shared_future<std::uint64_t> claimed = claim->get_future().share();
    // Set on the main thread's next turn: by then the turn that asked for the copy has closed
    // the overlays (on X11 it waits until the server has unmapped them).
    auto turn = std::make_shared<std::promise<void>>();
    std::shared_future<void> turnEnded = turn->get_future().share();
    // The history's settings are read here, on the main thread; the writing happens with the
    // encoding, so nothing of it blocks the main thread.
    std::optional<ScreenshotHistory::Recording> recording;
    if (history) recording = history->prepare();
    PngEncoder::worker().async([bytes, claimed, turnEnded, bitmap = std::move(bitmap), &mainQueue,
                                &pasteboard, history, recording, showError = std::move(showError),
                                encode = std::move(encode)] {
        // Rendering and encoding take a core for tens of milliseconds. On two cores they would
        // take it from the main thread, which has the offer and the closing of the overlays to
        // finish, and from the display server repainting what the overlays covered: the screen
        // would clear 3–5 ms later. So they wait for the main thread's turn to end; bounded, as
        // a main thread that is busy, or a pasteboard that reads the bytes while claiming, must
        // not hold the image back.
        turnEnded.wait_for(std::chrono::milliseconds(20));
        const QImage image = bitmap();
        const QByteArray made =
            image.isNull() ? QByteArray() : encode(image).value_or(QByteArray());
        bytes->set_value(made);
        const std::uint64_t offer = claimed.get();
        if (offer == 0) return;
        if (made.isEmpty()) {
            // Never a truncated or empty image on the clipboard: the offer goes.
            mainQueue.async([&pasteboard, offer, showError] {
                pasteboard.withdrawPng(offer);
                if (showError)
                    showError({QCoreApplication::translate("ScreenshotExport", "无法复制截图"),
                               QCoreApplication::translate(
                                   "ScreenshotExport",
                                   "内存不足，无法生成 PNG 图片，剪贴板中没有放入内容。"),
                               {QCoreApplication::translate("ScreenshotExport", "知道了")}});
            });
            return;
        }
        if (recording) ScreenshotHistory::writeThenFinish(history, *recording, made, mainQueue);
    });
    const std::uint64_t offer = pasteboard.offerPng(png);
    claim->set_value(offer);
    mainQueue.async([turn] { turn->set_value(); });
    if (offer == 0) return CopyOutcome::refused;
    return CapturePreferences::copyCloses(defaults) ? CopyOutcome::close : CopyOutcome::stayOpen;
}

bool CapturePreferences::copyCloses(const DefaultsStore& defaults) {
    return defaults.boolValue(QStringLiteral("copyCloses"), true);
}

bool CapturePreferences::includesPointer(const DefaultsStore& defaults) {
    return defaults.boolValue(QString::fromLatin1(includePointerKey), false);
}

int CapturePreferences::defaultTool(const DefaultsStore& defaults) {
    const auto value = defaults.numberValue(QStringLiteral("defaultTool"));
    if (!value || !std::isfinite(*value)) return 0;
    return static_cast<int>(std::clamp(*value, 0.0, 10.0));
}

}  // namespace tessal
