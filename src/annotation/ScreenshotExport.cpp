#include "ScreenshotExport.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "base/AtomicFile.h"
#include "base/DefaultsStore.h"
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
                            const std::function<void(const QString&)>& showError,
                            ScreenshotHistory* history) {
    QString error;
    if (writePNG(png, path, defaults, &error)) {
        if (history) history->record(png);
        return true;
    }
    if (showError) showError(QStringLiteral("无法保存“%1”：%2").arg(path, error));
    return false;
}

ScreenshotExport::CopyOutcome ScreenshotExport::copy(const QByteArray& png, Pasteboard& pasteboard,
                                                     const DefaultsStore& defaults,
                                                     ScreenshotHistory* history) {
    if (!pasteboard.setPng(png)) return CopyOutcome::refused;
    if (history) history->record(png);
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
