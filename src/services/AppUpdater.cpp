#include "AppUpdater.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QUuid>

#include "BundleFiles.h"
#include "BundleSignature.h"
#include "HttpTransfer.h"
#include "SafeExtraction.h"

namespace tessal {

namespace {

QString identityMismatch() {
    return QCoreApplication::translate("AppUpdater", "更新应用的标识或版本不匹配。");
}

QString processingFailed(const char* step) {
    return QCoreApplication::translate("AppUpdater", "更新文件处理失败（%1）。原应用未被替换。")
        .arg(QLatin1String(step));
}

bool writable(const QString& path) {
    return access(QFile::encodeName(path).constData(), W_OK) == 0;
}

bool onReadOnlyMount(const QString& path) {
    struct statvfs info;
    return statvfs(QFile::encodeName(path).constData(), &info) != 0 || (info.f_flag & ST_RDONLY);
}

// Removes the staging folder unless the preparation completed.
class StagingGuard {
  public:
    explicit StagingGuard(QString path) : path_(std::move(path)) {}
    ~StagingGuard() {
        if (!kept_) QDir(path_).removeRecursively();
    }
    void keep() { kept_ = true; }

  private:
    QString path_;
    bool kept_ = false;
};

using UpdateInstaller::failure;
using UpdateInstaller::stagingPrefix;

}  // namespace

std::optional<UserError> AppUpdater::validateDestination(const QString& installed,
                                                         const QString& runningExecutable) const {
    const QFileInfo bundle(installed);
    const QString canonical = bundle.canonicalFilePath();
    const QString executable = QFileInfo(runningExecutable).canonicalFilePath();
    const QString parent = bundle.absolutePath();
    const bool valid =
        installed.endsWith(QLatin1String(BundleFiles::extension)) && bundle.isDir() &&
        QFileInfo(installed + QLatin1Char('/') + QLatin1String(BundleFiles::manifestName))
            .isFile() &&
        writable(installed) && writable(parent) && !onReadOnlyMount(installed) &&
        !canonical.startsWith(QLatin1String("/media/")) &&
        !canonical.startsWith(QLatin1String("/run/media/")) && !canonical.isEmpty() &&
        executable.startsWith(canonical + QLatin1Char('/'));
    if (valid) return std::nullopt;
    return failure(QCoreApplication::translate(
        "AppUpdater",
        "请先将应用放到有写入权限的安装目录（例如 ~/.local/opt），再重试应用内更新。"));
}

std::optional<UserError> AppUpdater::validateApplication(const QString& candidate,
                                                         const QString& installed,
                                                         const AppRelease& release) const {
    const auto manifest = BundleFiles::readManifest(candidate);
    const auto installedManifest = BundleFiles::readManifest(installed);
    if (!manifest || !installedManifest) return failure(identityMismatch());
    const QJsonValue identifier = manifest->value(QLatin1String("identifier"));
    const QJsonValue installedIdentifier = installedManifest->value(QLatin1String("identifier"));
    if (identifier.toString() != QLatin1String(bundleIdentifier) || !identifier.isString() ||
        identifier != installedIdentifier)
        return failure(identityMismatch());
    const QJsonValue version = manifest->value(QLatin1String("version"));
    if (!version.isString() || version.toString() != release.version)
        return failure(identityMismatch());
    const QJsonValue executable = manifest->value(QLatin1String("executable"));
    const QString name = executable.toString();
    if (!executable.isString() || name.isEmpty() || name.contains(QLatin1Char('/')) ||
        name == QLatin1String(".") || name == QLatin1String(".."))
        return failure(identityMismatch());

    if (BundleFiles::elfArchitecture(BundleFiles::executablePath(candidate, name)) !=
        release.architecture)
        return failure(QCoreApplication::translate("AppUpdater", "更新应用的芯片架构不匹配。"));

    // The installed copy must verify with the release key; the candidate with the same one.
    if (!BundleSignature::verify(installed, configuration_.releasePublicKey,
                                 BundleSignature::Check::identity) ||
        !BundleSignature::verify(candidate, configuration_.releasePublicKey))
        return failure(QCoreApplication::translate(
            "AppUpdater", "更新应用签名校验失败，或与当前应用的签名身份不一致。"));
    return std::nullopt;
}

Result<PreparedUpdate> AppUpdater::prepare(const AppRelease& release, const QString& installed,
                                           const QString& runningExecutable) const {
    if (auto invalid = release.validate(configuration_)) return *invalid;
    if (auto refused = validateDestination(installed, runningExecutable)) return *refused;

    const QString directory = QFileInfo(installed).absolutePath() + QLatin1Char('/') +
                              stagingPrefix +
                              QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    if (mkdir(QFile::encodeName(directory).constData(), 0700) != 0 ||
        chmod(QFile::encodeName(directory).constData(), 0700) != 0)
        return failure(processingFailed("mkdir"));
    StagingGuard guard(directory);

    // The download streams to disk beside the staging contents; the temporary file goes on
    // every path.
    QTemporaryFile download(directory + QStringLiteral("/download-XXXXXX"));
    if (!download.open()) return failure(processingFailed("mkdir"));
    HttpTransfer transfer;
    transfer.url = release.downloadURL;
    transfer.idleTimeoutMs = 30'000;
    transfer.totalTimeoutMs = 600'000;
    transfer.bodyLimit = release.size;
    transfer.sink = &download;
    transfer.sinkPath = download.fileName();
    const HttpTransfer::Outcome outcome = transfer.run();
    if (outcome.error) return *outcome.error;
    if (outcome.status != 200 || outcome.finalUrl != release.downloadURL)
        return failure(QCoreApplication::translate("AppUpdater", "更新包下载失败，请检查网络。"));
    if (!download.flush()) return HttpTransfer::sinkFailure(download.fileName(), 1 << 16);
    if (outcome.bodyTooLarge || download.size() != release.size)
        return failure(QCoreApplication::translate("AppUpdater", "更新包大小不匹配。"));

    download.seek(0);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&download) || QString::fromLatin1(hash.result().toHex()) != release.sha256)
        return failure(QCoreApplication::translate("AppUpdater",
                                                   "更新包大小或 SHA-256 校验失败，已停止安装。"));

    const QString archive = directory + QStringLiteral("/Update.tar.gz");
    if (!download.rename(archive)) return failure(processingFailed("mv"));
    download.setAutoRemove(false);
    download.close();

    const QString volume = directory + QStringLiteral("/Volume");
    if (SafeExtraction().extract(archive, volume)) return failure(processingFailed("tar"));
    const auto detach = [&] { QDir(volume).removeRecursively(); };

    QStringList matches;
    for (const QFileInfo& entry :
         QDir(volume).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (entry.isSymLink() || !entry.isDir() ||
            !entry.fileName().endsWith(QLatin1String(BundleFiles::extension)))
            continue;
        const auto manifest = BundleFiles::readManifest(entry.absoluteFilePath());
        if (manifest && manifest->value(QLatin1String("identifier")).toString() ==
                            QLatin1String(bundleIdentifier))
            matches << entry.absoluteFilePath();
    }
    if (matches.size() != 1) {
        detach();
        return failure(QCoreApplication::translate("AppUpdater", "更新包中未找到唯一匹配的应用。"));
    }
    if (auto invalid = validateApplication(matches.first(), installed, release)) {
        detach();
        return *invalid;
    }
    const QString staged = directory + QStringLiteral("/Update.bundle");
    if (!BundleFiles::copyTree(matches.first(), staged)) {
        detach();
        return failure(processingFailed("cp"));
    }
    if (auto invalid = validateApplication(staged, installed, release)) {
        detach();
        return *invalid;
    }
    detach();
    QFile::remove(archive);
    guard.keep();
    return PreparedUpdate{release, installed, directory};
}

}  // namespace tessal
