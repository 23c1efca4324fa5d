#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "base/AlertSpec.h"
#include "services/UpdateInstaller.h"

namespace tessal {

class AlertPresenter;
class DefaultsStore;
class LoginItem;
class MainQueue;
class UpdateSource;
class UpdateStatusPanel;
class WorkItem;
class Workspace;

struct AppServicesEnvironment {
    DefaultsStore& defaults;
    MainQueue& mainQueue;
    AlertPresenter& alerts;
    Workspace& workspace;
    LoginItem& loginItem;
    UpdateSource& source;
    // Brings the program to the front before an alert; ends it after a started installation.
    std::function<void()> activate;
    std::function<void()> terminate;

    QString version;
    QString appName = QStringLiteral("Tessal");
    bool channelEnabled = false;
    QString runningBundle;  // empty when not running from a bundle
    QString systemVersion;
    QStringList legacyDirectories;
};

// What the program does for itself: the result of the last update, the notice about earlier
// copies, update checks on a schedule or on request, a prepared update offered to the user,
// and launch at login.
class AppServices {
  public:
    explicit AppServices(AppServicesEnvironment environment);
    ~AppServices();

    static inline const QString automaticChecksKey = QStringLiteral("automaticUpdateChecks");
    static inline const QString lastNotifiedKey = QStringLiteral("lastNotifiedVersion");
    static constexpr double checkInterval = 21'600;
    static constexpr double presentationInterval = 60;

    // True when no capture, editor or other modal work is under way; set by the controller.
    std::function<bool()> canPresent;

    void start();
    void check(bool manual);
    void toggleLoginItem();
    QString changelog() const;
    // Why this copy cannot update itself (it has no update channel), as the menu says it;
    // empty when it can.
    QString updatesUnavailable() const;
    static bool automaticChecks(const DefaultsStore& defaults);

    bool isChecking() const { return checking_; }
    const std::optional<PreparedUpdate>& ready() const { return ready_; }
    UpdateStatusPanel* statusWindow() const { return statusWindow_.get(); }

  private:
    void reportInstallationResult();
    void presentReadyUpdate(bool manual);
    void presentPending();
    void closeStatusWindow();
    int alert(const QString& title, const QString& text,
              const QStringList& buttons = {QCoreApplication::translate("AppServices", "知道了")},
              AlertSpec::Severity severity = AlertSpec::Severity::information);
    int failure(const QString& title, const QString& text) {
        return alert(title, text, {QCoreApplication::translate("AppServices", "知道了")},
                     AlertSpec::Severity::warning);
    }
    bool presentable() const { return canPresent && canPresent(); }
    void repeat(double seconds, std::shared_ptr<WorkItem>& slot, std::function<void()> work);

    AppServicesEnvironment env_;
    bool checking_ = false;
    std::shared_ptr<WorkItem> timer_;
    std::shared_ptr<WorkItem> readyTimer_;
    std::optional<PreparedUpdate> ready_;
    std::optional<QString> pendingFailure_;
    std::unique_ptr<UpdateStatusPanel> statusWindow_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tessal
