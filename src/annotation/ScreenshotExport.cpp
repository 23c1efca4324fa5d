#include "ScreenshotExport.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <future>
#include <memory>

#include "base/AtomicFile.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "imaging/PngEncoder.h"
#include "platform/Pasteboard.h"
#include "tools/ScreenshotHistory.h"

namespace tessal {

QString ScreenshotExport::defaultFileName(qint64 seconds) {
    return QStringLiteral("截图-%1.png").arg(seconds);
}

QString ScreenshotExport::rememberedDirectory(const DefaultsStore& defaults) {
    const auto path = defaults.stringValue(lastSaveDirectoryKey);
    if (!path || path->isEmpty() || !QFileInfo::exists(*path)) return {};
    return *path;
}

bool ScreenshotExport::writePNG(const QByteArray& png, const QString& path, DefaultsStore& defaults,
                                QString* error) {
    if (!writeFileAtomically(path, png, error)) return false;
    defaults.set(lastSaveDirectoryKey, QFileInfo(path).absolutePath());
    return true;
}

bool ScreenshotExport::save(const QByteArray& png, const QString& path, DefaultsStore& defaults,
                            const std::function<void(const AlertSpec&)>& showError,
                            ScreenshotHistory* history) {
    QString error;
    if (writePNG(png, path, defaults, &error)) {
        if (history) history->record(png);
        return true;
    }
    if (showError)
        showError({QStringLiteral("无法保存截图"),
                   QStringLiteral("无法保存“%1”：%2").arg(path, error),
                   {QStringLiteral("知道了")}});
    return false;
}

ScreenshotExport::CopyOutcome ScreenshotExport::copy(const QByteArray& png, Pasteboard& pasteboard,
                                                     const DefaultsStore& defaults,
                                                     ScreenshotHistory* history) {
    if (!pasteboard.setPng(png)) return CopyOutcome::refused;
    if (history) history->record(png);
    return CapturePreferences::copyCloses(defaults) ? CopyOutcome::close : CopyOutcome::stayOpen;
}

ScreenshotExport::CopyOutcome ScreenshotExport::copyLater(
    QImage bitmap, Pasteboard& pasteboard, const DefaultsStore& defaults, MainQueue& mainQueue,
    ScreenshotHistory* history, std::function<void(const AlertSpec&)> showError, Encoder encode) {
    if (!encode) encode = [](const QImage& image) { return PngEncoder::encode(image); };
    auto promise = std::make_shared<std::promise<QByteArray>>();
    std::shared_future<QByteArray> bytes = promise->get_future().share();
    // The offer's number, known once the clipboard took it (0: refused, nothing to record).
    auto offer = std::make_shared<std::uint64_t>(0);
    SerialQueue::named("local.ostrel.png")
        .async([promise, bitmap = std::move(bitmap), &mainQueue, &pasteboard, history, offer,
                showError = std::move(showError), encode = std::move(encode)] {
            const QByteArray png = encode(bitmap).value_or(QByteArray());
            promise->set_value(png);
            mainQueue.async([png, &pasteboard, history, offer, showError] {
                if (*offer == 0) return;
                if (!png.isEmpty()) {
                    if (history) history->record(png);
                    return;
                }
                // Never a truncated or empty image on the clipboard: the offer goes.
                pasteboard.withdrawPng(*offer);
                if (showError)
                    showError(
                        {QStringLiteral("无法复制截图"),
                         QStringLiteral("内存不足，无法生成 PNG 图片，剪贴板中没有放入内容。"),
                         {QStringLiteral("知道了")}});
            });
        });
    *offer = pasteboard.offerPng(bytes);
    if (*offer == 0) return CopyOutcome::refused;
    return CapturePreferences::copyCloses(defaults) ? CopyOutcome::close : CopyOutcome::stayOpen;
}

bool CapturePreferences::copyCloses(const DefaultsStore& defaults) {
    return defaults.boolValue(QStringLiteral("copyCloses"), true);
}

int CapturePreferences::defaultTool(const DefaultsStore& defaults) {
    const auto value = defaults.numberValue(QStringLiteral("defaultTool"));
    if (!value || !std::isfinite(*value)) return 0;
    return static_cast<int>(std::clamp(*value, 0.0, 10.0));
}

}  // namespace tessal
