#include "SaveDestination.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "base/AtomicFile.h"
#include "base/DefaultsStore.h"

namespace tessal {

QString SaveDestination::defaultFileName(qint64 seconds) {
    return QCoreApplication::translate("SaveDestination", "截图-%1.png").arg(seconds);
}

QString SaveDestination::rememberedDirectory(const DefaultsStore& defaults) {
    const auto path = defaults.stringValue(lastSaveDirectoryKey);
    if (!path || path->isEmpty() || !QFileInfo::exists(*path)) return {};
    return *path;
}

SaveDestination::StartFolder SaveDestination::startFolder(const DefaultsStore& defaults,
                                                          const QString& pictures,
                                                          const QString& home) {
    if (QString remembered = rememberedDirectory(defaults); !remembered.isEmpty())
        return {remembered, {}};
    const QFileInfo folder(pictures);
    QString reason;
    if (pictures.isEmpty())
        reason = QCoreApplication::translate("SaveDestination", "未设置图片文件夹");
    else if (!folder.exists())
        reason =
            QCoreApplication::translate("SaveDestination", "图片文件夹“%1”不存在").arg(pictures);
    else if (!folder.isDir())
        reason = QCoreApplication::translate("SaveDestination", "图片文件夹“%1”不是文件夹")
                     .arg(pictures);
    else if (!folder.isWritable())
        reason =
            QCoreApplication::translate("SaveDestination", "图片文件夹“%1”不可写入").arg(pictures);
    else
        return {folder.absoluteFilePath(), {}};
    return {home,
            QCoreApplication::translate("SaveDestination", "%1，已改为主文件夹。").arg(reason)};
}

bool SaveDestination::writePNG(const QByteArray& png, const QString& path, DefaultsStore& defaults,
                               QString* error) {
    if (!writeFileAtomically(path, png, error)) return false;
    defaults.set(lastSaveDirectoryKey, QFileInfo(path).absolutePath());
    return true;
}

}  // namespace tessal
