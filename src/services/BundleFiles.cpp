#include "BundleFiles.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include "UpdateConfiguration.h"

namespace tessal::BundleFiles {

std::optional<QJsonObject> readManifest(const QString& bundle) {
    QFile file(bundle + QLatin1Char('/') + QLatin1String(manifestName));
    if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.read(1 << 20);
    if (!file.atEnd()) return {};
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject()) return {};
    return document.object();
}

QString standardPath(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
}

QString executablePath(const QString& bundle, const QString& executable) {
    return bundle + QStringLiteral("/bin/") + executable;
}

QString installerScript(const QString& bundle) {
    return bundle + QStringLiteral("/share/tessal/InstallUpdate.sh");
}

QString runningBundle(const QString& executable) {
    const QString bundle = QFileInfo(QFileInfo(executable).canonicalFilePath())
                               .dir()
                               .absoluteFilePath(QStringLiteral(".."));
    const QString clean = QDir::cleanPath(bundle);
    if (!clean.endsWith(QLatin1String(extension)) || !readManifest(clean)) return {};
    return clean;
}

QString elfArchitecture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray header = file.read(20);
    if (header.size() < 20 || !header.startsWith("\x7f"
                                                 "ELF"))
        return {};
    const auto byte = [&](int i) { return static_cast<unsigned char>(header[i]); };
    const int data = byte(5);  // 1: little-endian, 2: big-endian
    if (data != 1 && data != 2) return {};
    const int machine = data == 1 ? byte(18) | (byte(19) << 8) : (byte(18) << 8) | byte(19);
    return elfMachineName(machine);
}

bool copyTree(const QString& from, const QString& to) {
    struct stat info;
    if (lstat(QFile::encodeName(from).constData(), &info) != 0) return false;
    const QByteArray target = QFile::encodeName(to);
    if (S_ISLNK(info.st_mode)) {
        char buffer[4096];
        const ssize_t length =
            readlink(QFile::encodeName(from).constData(), buffer, sizeof buffer - 1);
        if (length < 0) return false;
        buffer[length] = 0;
        return symlink(buffer, target.constData()) == 0;
    }
    if (S_ISDIR(info.st_mode)) {
        if (mkdir(target.constData(), 0700) != 0) return false;
        const QStringList names = QDir(from).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : names)
            if (!copyTree(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
                return false;
        return chmod(target.constData(), (info.st_mode & 0755) | 0700) == 0;
    }
    if (!S_ISREG(info.st_mode)) return false;
    QFile source(from);
    QFile destination(to);
    if (!source.open(QIODevice::ReadOnly) ||
        !destination.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    QByteArray buffer;
    while (!source.atEnd()) {
        buffer = source.read(1 << 20);
        if (buffer.isEmpty() && source.error() != QFile::NoError) return false;
        if (destination.write(buffer) != buffer.size()) return false;
    }
    if (!destination.flush()) return false;
    destination.close();
    return chmod(target.constData(), info.st_mode & 0755) == 0;
}

}  // namespace tessal::BundleFiles
