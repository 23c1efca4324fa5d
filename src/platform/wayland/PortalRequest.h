#pragma once

#include <QDBusConnection>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <optional>

#include "base/UserError.h"

class QEventLoop;

namespace tessal {

// One call of an xdg-desktop-portal method that answers through a Request object: the handle
// token is chosen here, the Response signal is subscribed before the call (so a quick answer
// is not missed), and the wait ends with the answer, after `answerTimeoutMs` (by default the
// call's own `timeoutMs`), when the portal leaves the bus, or on cancel().
class PortalRequest {
  public:
    static inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
    static inline const QString path = QStringLiteral("/org/freedesktop/portal/desktop");

    // The portal's answers: 0 success, 1 the user cancelled, 2 anything else.
    enum Response { success = 0, cancelled = 1, failed = 2 };
    struct Answer {
        int response = failed;
        QVariantMap results;
    };

    // For requests the user answers in a dialog of the portal's, which may take any time.
    static constexpr int noAnswerLimit = -1;

    explicit PortalRequest(QDBusConnection bus, int timeoutMs = 15'000,
                           std::optional<int> answerTimeoutMs = std::nullopt)
        : bus_(std::move(bus)),
          timeoutMs_(timeoutMs),
          answerTimeoutMs_(answerTimeoutMs.value_or(timeoutMs)) {}

    // Calls `interface`.`method` with `arguments` followed by the options map (to which
    // "handle_token" is added) and waits for the Response. Failures: no portal (code 10), the
    // call refused (11), no answer in time (12), the portal gone before answering (13), the
    // wait cancelled or the application quitting meanwhile (14). A request given up (12, 14) is
    // closed, so the portal takes its dialog down and ends what it would have made for it. A
    // cancelled or failed response is an Answer.
    Result<Answer> call(const QString& interface, const QString& method,
                        const QVariantList& arguments, QVariantMap options);

    // Calls `interface`.CreateSession: the new session's object path, or nothing where the
    // desktop refused.
    Result<std::optional<QString>> createSession(const QString& interface);

    // Told true once the portal took the call and `awaitingAfterMs` passed without an answer
    // (it is asking the user), false when that wait ends. During it user input reaches the
    // program's windows, so that one of them can cancel().
    std::function<void(bool awaiting)> onAwaitingUser;
    int awaitingAfterMs = 1000;
    // Ends the wait of the call() under way.
    void cancel();
    static constexpr int closedCode = 14;

    // The Request object path the portal will use for `token` on this connection.
    QString requestPath(const QString& token) const;
    static QString newToken();

  private:
    QDBusConnection bus_;
    int timeoutMs_;
    int answerTimeoutMs_;
    QEventLoop* waiting_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace tessal
