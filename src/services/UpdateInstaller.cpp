#include "UpdateInstaller.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QUuid>

#include "BundleFiles.h"
#include "base/DataHome.h"
#include "base/HelperPrograms.h"

namespace tessal::UpdateInstaller {

UserError failure(const QString& message) {
    return {QStringLiteral("tessal.update"), 1, message};
}

QString resultPath() {
    return dataHome() + QStringLiteral("/local.ostrel/UpdateResult.txt");
}

bool isStagingFolder(const QString& path, const QString& bundle) {
    if (bundle.isEmpty() || !QDir::isAbsolutePath(path)) return false;
    const QFileInfo info(QDir::cleanPath(path));
    const QString name = info.fileName();
    const QString rest = name.mid(stagingPrefix.size());
    return name.startsWith(stagingPrefix) && rest.size() == 36 &&
           !QUuid::fromString(rest).isNull() && info.isDir() && !info.isSymLink() &&
           BundleFiles::standardPath(info.absolutePath()) ==
               BundleFiles::standardPath(QFileInfo(bundle).absolutePath());
}

bool removeStagingFolder(const QString& path, const QString& bundle) {
    return isStagingFolder(path, bundle) && QDir(QDir::cleanPath(path)).removeRecursively();
}

std::optional<UserError> install(const PreparedUpdate& update, qint64 pid) {
    if (!QFileInfo(update.stagedBundle()).isDir())
        return failure(QCoreApplication::translate("UpdateInstaller",
                                                   "准备好的更新已不存在，请重新检查更新。"));
    const QString script = BundleFiles::installerScript(update.installed);
    if (!QFileInfo(script).isFile())
        return failure(
            QCoreApplication::translate("UpdateInstaller", "当前构建缺少更新安装程序。"));
    const QString copy = update.directory + QStringLiteral("/InstallUpdate.sh");
    QFile::remove(copy);
    if (!QFile::copy(script, copy))
        return failure(QCoreApplication::translate("UpdateInstaller",
                                                   "更新文件处理失败（cp）。原应用未被替换。"));
    const QString result = resultPath();
    QDir().mkpath(QFileInfo(result).absolutePath());

    QProcess installer;
    installer.setProgram(QStringLiteral("/bin/sh"));
    installer.setArguments({copy, QString::number(pid), update.installed, update.stagedBundle(),
                            update.directory, result});
    installer.setStandardInputFile(QProcess::nullDevice());
    installer.setStandardOutputFile(QProcess::nullDevice());
    installer.setStandardErrorFile(QProcess::nullDevice());
    if (!installer.startDetached())
        return failure(QCoreApplication::translate("UpdateInstaller", "无法启动更新安装程序：%1。")
                           .arg(installer.errorString()));
    return std::nullopt;
}

QString helperPath() {
#ifdef TESSAL_UPDATE_HELPER
    return helperProgram(QStringLiteral("tessal-update-helper"),
                         QStringLiteral(TESSAL_UPDATE_HELPER));
#else
    return helperProgram(QStringLiteral("tessal-update-helper"));
#endif
}

namespace {

QJsonObject releaseObject(const AppRelease& r) {
    return {{"version", r.version},
            {"downloadURL", r.downloadURL.toString()},
            {"notes", r.notes},
            {"minimumSystemVersion", r.minimumSystemVersion},
            {"architecture", r.architecture},
            {"size", double(r.size)},
            {"sha256", r.sha256}};
}

}  // namespace

QByteArray encodeRequest(const UpdateConfiguration& configuration, const AppRelease& release,
                         const QString& installed, const QString& runningExecutable) {
    const QJsonObject object{
        {"cdnHost", configuration.cdnHost},
        {"architecture", configuration.architecture},
        {"releasePublicKey", QString::fromLatin1(configuration.releasePublicKey.toBase64())},
        {"release", releaseObject(release)},
        {"installed", installed},
        {"runningExecutable", runningExecutable}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Request> decodeRequest(const QByteArray& json) {
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    const QJsonValue release = object.value(QLatin1String("release"));
    if (!release.isObject()) return std::nullopt;
    auto decoded = AppRelease::decode(QJsonDocument(release.toObject()).toJson());
    if (!decoded) return std::nullopt;
    Request request;
    request.configuration.cdnHost = object.value(QLatin1String("cdnHost")).toString();
    request.configuration.architecture = object.value(QLatin1String("architecture")).toString();
    request.configuration.releasePublicKey = QByteArray::fromBase64(
        object.value(QLatin1String("releasePublicKey")).toString().toLatin1());
    request.release = std::move(decoded).value();
    request.installed = object.value(QLatin1String("installed")).toString();
    request.runningExecutable = object.value(QLatin1String("runningExecutable")).toString();
    return request;
}

QByteArray encodeAnswer(const Result<PreparedUpdate>& result) {
    QJsonObject object;
    if (result) {
        object = {{"installed", result.value().installed}, {"directory", result.value().directory}};
    } else {
        object = {{"domain", result.error().domain},
                  {"code", result.error().code},
                  {"message", result.error().message}};
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

Result<PreparedUpdate> decodeAnswer(const QByteArray& json, const AppRelease& release,
                                    const QString& installed) {
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    const QString directory = object.value(QLatin1String("directory")).toString();
    if (!directory.isEmpty()) {
        const PreparedUpdate update{release, object.value(QLatin1String("installed")).toString(),
                                    directory};
        if (update.installed == installed && isStagingFolder(directory, installed) &&
            QFileInfo(update.stagedBundle()).isDir() &&
            !QFileInfo(update.stagedBundle()).isSymLink())
            return update;
        return failure(QCoreApplication::translate(
            "UpdateInstaller", "更新文件处理失败（tessal-update-helper）。原应用未被替换。"));
    }
    const QString message = object.value(QLatin1String("message")).toString();
    if (message.isEmpty())
        return failure(QCoreApplication::translate(
            "UpdateInstaller", "更新文件处理失败（tessal-update-helper）。原应用未被替换。"));
    return UserError{object.value(QLatin1String("domain")).toString(),
                     object.value(QLatin1String("code")).toInt(), message};
}

}  // namespace tessal::UpdateInstaller
