#include "AppServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "AlertPresenter.h"
#include "UpdateStatusPanel.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "platform/LoginItem.h"
#include "platform/Workspace.h"
#include "services/LegacyApplicationNotice.h"
#include "services/UpdateSource.h"

namespace tessal {

namespace {

QString retryLater() {
    return QCoreApplication::translate("AppServices", "\n请稍后通过“检查更新”重试。");
}
QString cannotInstall() {
    return QCoreApplication::translate("AppServices", "暂时无法安装更新");
}

}  // namespace

AppServices::AppServices(AppServicesEnvironment environment) : env_(std::move(environment)) {}

AppServices::~AppServices() {
    *alive_ = false;
    if (timer_) timer_->cancel();
    if (readyTimer_) readyTimer_->cancel();
}

bool AppServices::automaticChecks(const DefaultsStore& defaults) {
    return defaults.boolValue(automaticChecksKey, true);
}

QString AppServices::changelog() const {
    return env_.source.configuration().changelog().toString();
}

QString AppServices::updatesUnavailable() const {
    if (env_.channelEnabled) return {};
    // Outside a bundle the program came from a package (or was built here): whatever installed
    // it updates it.
    return env_.runningBundle.isEmpty()
               ? QCoreApplication::translate("AppServices", "更新由安装本程序的软件包管理器提供")
               : QCoreApplication::translate("AppServices", "此版本未启用应用内更新");
}

int AppServices::alert(const QString& title, const QString& text, const QStringList& buttons,
                       AlertSpec::Severity severity) {
    if (env_.activate) env_.activate();
    return env_.alerts.run(AlertSpec{title, text, buttons, severity});
}

void AppServices::repeat(double seconds, std::shared_ptr<WorkItem>& slot,
                         std::function<void()> work) {
    std::weak_ptr<bool> alive = alive_;
    slot = env_.mainQueue.after(seconds, [this, alive, seconds, &slot, work] {
        if (alive.expired()) return;
        repeat(seconds, slot, work);
        work();
    });
}

void AppServices::start() {
    std::weak_ptr<bool> alive = alive_;
    env_.mainQueue.async([this, alive] {
        if (!alive.expired()) reportInstallationResult();
    });
    env_.mainQueue.after(2.0, [this, alive] {
        if (alive.expired() || !presentable()) return;
        LegacyApplicationNotice::presentIfNeeded(
            env_.defaults, env_.runningBundle, env_.legacyDirectories,
            env_.source.configuration().earlierNames,
            [this](const AlertSpec& notice) {
                return alert(notice.message, notice.informative, notice.buttons);
            },
            [this](const QStringList& paths) { env_.workspace.revealFiles(paths); });
    });
    env_.mainQueue.after(30.0, [this, alive] {
        if (!alive.expired()) check(false);
    });
    repeat(checkInterval, timer_, [this] { check(false); });
    repeat(presentationInterval, readyTimer_, [this] { presentPending(); });
}

void AppServices::presentPending() {
    if (!automaticChecks(env_.defaults) || checking_) return;
    if (pendingFailure_ && presentable()) {
        const QString text = *pendingFailure_;
        pendingFailure_.reset();
        failure(cannotInstall(), text);
        return;
    }
    presentReadyUpdate(false);
}

void AppServices::closeStatusWindow() {
    if (statusWindow_) statusWindow_->close();
    statusWindow_.reset();
}

void AppServices::check(bool manual) {
    if (checking_) {
        if (manual)
            alert(QCoreApplication::translate("AppServices", "正在准备更新"),
                  QCoreApplication::translate("AppServices", "下载和校验完成后会提示重启安装。"));
        return;
    }
    if (!manual && !automaticChecks(env_.defaults)) return;
    if (ready_) return presentReadyUpdate(manual);
    if (!env_.channelEnabled) {
        if (manual)
            alert(QCoreApplication::translate("AppServices", "更新通道尚未上线"),
                  QCoreApplication::translate(
                      "AppServices", "当前构建未启用更新检测，请从%1官网下载支持检查更新的新版本。")
                      .arg(env_.appName));
        return;
    }
    checking_ = true;
    pendingFailure_.reset();
    std::weak_ptr<bool> alive = alive_;
    env_.source.fetchLatest([this, alive, manual](Result<AppRelease> fetched) {
        if (alive.expired()) return;
        if (!fetched) {
            closeStatusWindow();
            checking_ = false;
            if (manual)
                failure(QCoreApplication::translate("AppServices", "暂时无法检查更新"),
                        fetched.error().message + retryLater());
            return;
        }
        const AppRelease release = fetched.value();
        const auto availability =
            release.availability(env_.source.configuration(), env_.version, env_.systemVersion);
        if (!availability || availability.value() != AppRelease::Availability::available) {
            checking_ = false;
            if (!manual) return;
            if (!availability)
                failure(QCoreApplication::translate("AppServices", "暂时无法检查更新"),
                        availability.error().message + retryLater());
            else if (availability.value() == AppRelease::Availability::current)
                alert(QCoreApplication::translate("AppServices", "已是最新版本"),
                      env_.appName + QLatin1Char(' ') + env_.version);
            else
                alert(QCoreApplication::translate("AppServices", "需要更新系统"),
                      QCoreApplication::translate("AppServices",
                                                  "新版本需要 glibc %1 或更新版本的系统。")
                          .arg(release.minimumSystemVersion));
            return;
        }
        if (manual) {
            statusWindow_ = std::make_unique<UpdateStatusPanel>(env_.appName, release.version);
            statusWindow_->show();
            statusWindow_->raise();
        }
        env_.source.prepare(release, [this, alive, manual](Result<PreparedUpdate> prepared) {
            if (alive.expired()) return;
            closeStatusWindow();
            checking_ = false;
            if (prepared) {
                ready_ = prepared.value();
                if (manual || automaticChecks(env_.defaults)) presentReadyUpdate(manual);
                return;
            }
            const QString message = prepared.error().message + retryLater();
            if (manual)
                failure(cannotInstall(), message);
            else
                pendingFailure_ = message;
        });
    });
}

void AppServices::presentReadyUpdate(bool manual) {
    if (!ready_) return;
    if (!presentable()) {
        if (manual)
            alert(QCoreApplication::translate("AppServices", "更新已就绪"),
                  QCoreApplication::translate(
                      "AppServices", "请先结束截图并关闭编辑窗口，再通过“检查更新”重启安装。"));
        return;
    }
    const QString version = ready_->release.version;
    if (!manual && env_.defaults.stringValue(lastNotifiedKey) == version) return;
    env_.defaults.set(lastNotifiedKey, version);
    const int answer = alert(
        QCoreApplication::translate("AppServices", "%1 %2 更新已就绪").arg(env_.appName, version),
        QCoreApplication::translate("AppServices", "%1\n\n重启后自动安装，偏好和截图历史会保留。")
            .arg(ready_->release.notes),
        {QCoreApplication::translate("AppServices", "重启并更新"),
         QCoreApplication::translate("AppServices", "稍后")});
    if (answer != 0 || !presentable()) return;
    if (auto failed = env_.source.install(*ready_)) {
        failure(cannotInstall(), failed->message);
        return;
    }
    if (env_.terminate) env_.terminate();
}

void AppServices::reportInstallationResult() {
    const QString path = UpdateInstaller::resultPath();
    QFile file(path);
    QString text;
    if (file.open(QIODevice::ReadOnly)) text = QString::fromUtf8(file.read(1 << 16));
    file.close();
    if (!text.isEmpty()) {
        QFile::remove(path);
        const QString success = QStringLiteral("success\n");
        if (text.startsWith(success)) {
            QString named = text.mid(success.size());
            while (named.endsWith(QLatin1Char('\n')) || named.endsWith(QLatin1Char('\r')))
                named.chop(1);
            while (named.startsWith(QLatin1Char('\n'))) named.remove(0, 1);
            UpdateInstaller::removeStagingFolder(named, env_.runningBundle);
        } else {
            failure(QCoreApplication::translate("AppServices", "上次更新未完成"), text);
        }
    }
    // Whatever else is staged beside the bundle was left by a preparation that did not finish
    // (the program quit, the helper was killed) or by an update never installed. A folder that
    // still holds the previous copy stays: an installation that could not put it back left the
    // only copy there.
    if (env_.runningBundle.isEmpty()) return;
    const QDir parent = QFileInfo(env_.runningBundle).absoluteDir();
    for (const QString& name :
         parent.entryList({UpdateInstaller::stagingPrefix + QStringLiteral("*")},
                          QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString folder = parent.absoluteFilePath(name);
        if (!QFileInfo::exists(folder + QStringLiteral("/Previous.bundle")))
            UpdateInstaller::removeStagingFolder(folder, env_.runningBundle);
    }
}

void AppServices::toggleLoginItem() {
    const bool ok = env_.loginItem.isEnabled() ? env_.loginItem.setEnabled(false)
                                               : env_.loginItem.setEnabled(true);
    if (!ok)
        failure(QCoreApplication::translate("AppServices", "无法修改开机启动"),
                QCoreApplication::translate(
                    "AppServices",
                    "请先将%1安装到固定位置（例如 ~/.local/opt），再重试。也可以在桌"
                    "面环境的“自动启动”设置中管理。")
                    .arg(env_.appName));
}

}  // namespace tessal
