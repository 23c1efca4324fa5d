#pragma once

#include <QDBusConnection>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include "base/UserError.h"

namespace tessal {

// One call of an xdg-desktop-portal method that answers through a Request object: the handle
// token is chosen here, the Response signal is subscribed before the call (so a quick answer
// is not missed), and the wait ends with the answer or after `timeoutMs`.
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

    explicit PortalRequest(QDBusConnection bus, int timeoutMs = 15'000)
        : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

    // Calls `interface`.`method` with `arguments` followed by the options map (to which
    // "handle_token" is added) and waits for the Response. Failures: no portal (code 10), the
    // call refused (11), no answer in time (12). A cancelled or failed response is an Answer.
    Result<Answer> call(const QString& interface, const QString& method,
                        const QVariantList& arguments, QVariantMap options);

    // The Request object path the portal will use for `token` on this connection.
    QString requestPath(const QString& token) const;
    static QString newToken();

  private:
    QDBusConnection bus_;
    int timeoutMs_;
};

}  // namespace tessal
