#include "FileErrors.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStorageInfo>

namespace tessal {

QString writeObstacle(const QString& path) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists()) return QCoreApplication::translate("FileErrors", "文件夹不存在");
    if (!folder.isDir())
        return QCoreApplication::translate("FileErrors", "路径中的“%1”不是文件夹")
            .arg(folder.fileName());
    if (file.isDir()) return QCoreApplication::translate("FileErrors", "同名的文件夹已存在");
    const QStorageInfo storage(folder.absoluteFilePath());
    if (storage.isValid() && storage.isReadOnly())
        return QCoreApplication::translate("FileErrors", "磁盘是只读的");
    if (!folder.isWritable() || (file.exists() && !file.isWritable()))
        return QCoreApplication::translate("FileErrors", "没有写入权限");
    return {};
}

QString writeFailureReason(const QString& path, qint64 bytes) {
    if (const QString obstacle = writeObstacle(path); !obstacle.isEmpty()) return obstacle;
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() <= bytes)
        return QCoreApplication::translate("FileErrors", "磁盘空间不足");
    return QCoreApplication::translate("FileErrors", "写入失败");
}

QString readFailureReason(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists()) return QCoreApplication::translate("FileErrors", "文件不存在");
    if (file.isDir()) return QCoreApplication::translate("FileErrors", "这是一个文件夹");
    if (!file.isReadable()) return QCoreApplication::translate("FileErrors", "没有读取权限");
    return {};
}

}  // namespace tessal
