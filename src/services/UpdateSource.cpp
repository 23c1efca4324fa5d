#include "UpdateSource.h"

#include <gnu/libc-version.h>
#include <QCoreApplication>
#include <QThread>

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
    const QString bundle = BundleFiles::runningBundle(QCoreApplication::applicationFilePath());
    if (bundle.isEmpty()) {
        BundleInfo info;
        info.version = QStringLiteral(TESSAL_VERSION);
        return info;
    }
    return read(bundle);
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
    QThread* thread = QThread::create([configuration = configuration_, release,
                                       installed = installedBundle_,
                                       executable = runningExecutable_, done] {
        Result<PreparedUpdate> result =
            AppUpdater(configuration).prepare(release, installed, executable);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [done, result] { done(result); }, Qt::QueuedConnection);
    });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start(QThread::LowPriority);
}

std::optional<UserError> ReleaseUpdateSource::install(const PreparedUpdate& update) {
    return AppUpdater(configuration_).install(update, QCoreApplication::applicationPid());
}

}  // namespace tessal
