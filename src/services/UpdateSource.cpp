#include "UpdateSource.h"

#include <gnu/libc-version.h>
#include <QCoreApplication>
#include <QProcess>

#include "BundleFiles.h"
#include "ReleaseFeed.h"

namespace tessal {

BundleInfo BundleInfo::read(const QString& bundle) {
    BundleInfo info;
    info.version = QStringLiteral(TESSAL_VERSION);
    const auto manifest = BundleFiles::readManifest(bundle);
    if (!manifest) return info;
    info.bundle = bundle;
    const QJsonValue name = manifest->value(QLatin1String("displayName"));
    if (name.isString() && !name.toString().isEmpty()) info.appName = name.toString();
    const QJsonValue version = manifest->value(QLatin1String("version"));
    if (version.isString()) info.version = version.toString();
    info.channelEnabled = manifest->value(QLatin1String("updateChannelEnabled")).toBool(false);
    return info;
}

BundleInfo BundleInfo::running() {
    return read(BundleFiles::runningBundle(QCoreApplication::applicationFilePath()));
}

QString systemVersion() {
    QStringList parts = QString::fromLatin1(gnu_get_libc_version()).split(QLatin1Char('.'));
    while (parts.size() < 3) parts << QStringLiteral("0");
    return parts.mid(0, 3).join(QLatin1Char('.'));
}

ReleaseUpdateSource::ReleaseUpdateSource(UpdateConfiguration configuration, QString installedBundle,
                                         QString runningExecutable)
    : configuration_(std::move(configuration)),
      installedBundle_(std::move(installedBundle)),
      runningExecutable_(std::move(runningExecutable)) {}

void ReleaseUpdateSource::fetchLatest(std::function<void(Result<AppRelease>)> done) {
    ReleaseFeed::fetchLatest(configuration_, std::move(done));
}

void ReleaseUpdateSource::prepare(const AppRelease& release,
                                  std::function<void(Result<PreparedUpdate>)> done) {
    const QString helper = UpdateInstaller::helperPath();
    if (helper.isEmpty()) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [done] {
                done(UpdateInstaller::failure(QCoreApplication::translate(
                    "UpdateSource", "更新组件缺失（tessal-update-helper），请重新安装Tessal。")));
            },
            Qt::QueuedConnection);
        return;
    }
    // A process of its own: its libraries and whatever the archive holds stay out of here.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(helper);
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, release, installed = installedBundle_, done] {
                         const QByteArray answer = process->readAllStandardOutput();
                         process->deleteLater();
                         done(UpdateInstaller::decodeAnswer(answer, release, installed));
                     });
    QObject::connect(
        process, &QProcess::errorOccurred, process, [process, done](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart) return;
            process->deleteLater();
            done(UpdateInstaller::failure(QCoreApplication::translate(
                "UpdateSource", "更新文件处理失败（tessal-update-helper）。原应用未被替换。")));
        });
    process->start();
    process->write(UpdateInstaller::encodeRequest(configuration_, release, installedBundle_,
                                                  runningExecutable_));
    process->closeWriteChannel();
}

std::optional<UserError> ReleaseUpdateSource::install(const PreparedUpdate& update) {
    return UpdateInstaller::install(update, QCoreApplication::applicationPid());
}

}  // namespace tessal
