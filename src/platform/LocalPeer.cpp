#include "LocalPeer.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>

namespace tessal::LocalPeer {

bool runsAs(int socketDescriptor, unsigned uid) {
    struct ucred peer {};
    socklen_t length = sizeof peer;
    return socketDescriptor >= 0 &&
           getsockopt(socketDescriptor, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           length == sizeof peer && peer.uid == uid;
}

bool isSameUser(int socketDescriptor) {
    return runsAs(socketDescriptor, getuid());
}

bool isPrivateFolder(const QString& path) {
    struct stat info;
    return !path.isEmpty() && lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 077) == 0;
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
