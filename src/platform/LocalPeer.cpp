#include "LocalPeer.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>

namespace tessal::LocalPeer {

bool isPrivateFolder(const QString& path) {
    return !path.isEmpty() && isPrivateFolder(QFile::encodeName(path).constData());
}

QString privateFolder(const QString& name) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime)) return runtime;
    const QString fallback =
        QDir::tempPath() + QLatin1Char('/') + name + QLatin1Char('-') + QString::number(getuid());
    // An existing folder is never repaired: a chmod would follow a link planted in its place.
    mkdir(QFile::encodeName(fallback).constData(), 0700);
    return isPrivateFolder(fallback) ? fallback : QString();
}

}  // namespace tessal::LocalPeer
