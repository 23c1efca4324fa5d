#include "SaveDestination.h"

#include <QFileInfo>

#include "base/AtomicFile.h"
#include "base/DefaultsStore.h"

namespace tessal {

QString SaveDestination::defaultFileName(qint64 seconds) {
    return QStringLiteral("截图-%1.png").arg(seconds);
}

QString SaveDestination::rememberedDirectory(const DefaultsStore& defaults) {
    const auto path = defaults.stringValue(lastSaveDirectoryKey);
    if (!path || path->isEmpty() || !QFileInfo::exists(*path)) return {};
    return *path;
}

bool SaveDestination::writePNG(const QByteArray& png, const QString& path, DefaultsStore& defaults,
                               QString* error) {
    if (!writeFileAtomically(path, png, error)) return false;
    defaults.set(lastSaveDirectoryKey, QFileInfo(path).absolutePath());
    return true;
}

}  // namespace tessal
