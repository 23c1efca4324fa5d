#include "PortalRequest.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>

namespace tessal {

namespace {

const QString domain = QStringLiteral("Ostrel");

// Receives the one Response signal of a request.
class ResponseReceiver final : public QObject {
    Q_OBJECT
  public:
    explicit ResponseReceiver(QEventLoop& loop) : loop_(loop) {}
    bool answered = false;
    PortalRequest::Answer answer;

  public Q_SLOTS:
    void onResponse(uint response, const QVariantMap& results) {
        if (answered) return;
        answered = true;
        answer.response = int(response);
        answer.results = results;
        loop_.quit();
    }

  private:
    QEventLoop& loop_;
};

// Which package brings each desktop's backend, in words a user can act on.
QString portalBackendAdvice() {
    return QCoreApplication::translate(
        "PortalRequest",
        "wlroots 桌面（sway、Hyprland 等）需要 xdg-desktop-portal-wlr，另加 "
        "xdg-desktop-portal-gtk（截图接口要靠它的授权后端）；GNOME 需要 "
        "xdg-desktop-portal-gnome；KDE 需要 xdg-desktop-portal-kde。");
}

// Neither the call nor its answer came within `ms`.
UserError noAnswerWithin(int ms) {
    return UserError{domain, 12,
                     QCoreApplication::translate("PortalRequest", "桌面门户没有在 %1 秒内回应。")
                         .arg(ms / 1000.0, 0, 'g', 3)};
}

UserError missingInterface(const QString& interface) {
    if (interface == QLatin1String("org.freedesktop.portal.Screenshot"))
        return UserError{
            domain, 10,
            QCoreApplication::translate("PortalRequest",
                                        "桌面没有提供截图门户（xdg-desktop-portal 的 Screenshot "
                                        "接口）。") +
                portalBackendAdvice()};
    return UserError{domain, 10,
                     QCoreApplication::translate("PortalRequest", "桌面门户没有提供 %1 接口。")
                             .arg(interface.section(QLatin1Char('.'), -1)) +
                         portalBackendAdvice()};
}

}  // namespace

QString PortalRequest::newToken() {
    return QStringLiteral("tessal%1").arg(QRandomGenerator::global()->generate());
}

QString PortalRequest::requestPath(const QString& token) const {
    // ":1.42" → "1_42", as the portal names the request object after the caller.
    QString sender = bus_.baseService();
    sender.remove(0, 1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

Result<std::optional<QString>> PortalRequest::createSession(const QString& interface) {
    const Result<Answer> created = call(interface, QStringLiteral("CreateSession"), {},
                                        {{QStringLiteral("session_handle_token"), newToken()}});
    if (!created) return created.error();
    const QVariant handle = created.value().results.value(QStringLiteral("session_handle"));
    const QString session = handle.canConvert<QDBusObjectPath>()
                                ? handle.value<QDBusObjectPath>().path()
                                : handle.toString();
    if (created.value().response != success || session.isEmpty()) return {std::nullopt};
    return {session};
}

void PortalRequest::cancel() {
    cancelled_ = true;
    if (waiting_) waiting_->quit();
}

Result<PortalRequest::Answer> PortalRequest::call(const QString& interface, const QString& method,
                                                  const QVariantList& arguments,
                                                  QVariantMap options) {
    if (!bus_.isConnected())
        return UserError{
            domain, 10,
            QCoreApplication::translate("PortalRequest", "无法连接会话总线，找不到桌面门户服务。")};
    cancelled_ = false;
    const QString token = newToken();
    options.insert(QStringLiteral("handle_token"), token);
    QEventLoop loop;
    ResponseReceiver receiver(loop);
    QString expected = requestPath(token);
    const auto subscribe = [&](const QString& object) {
        return bus_.connect(service, object, QStringLiteral("org.freedesktop.portal.Request"),
                            QStringLiteral("Response"), &receiver,
                            SLOT(onResponse(uint, QVariantMap)));
    };
    subscribe(expected);

    // A portal that exits (or crashes) mid-request never answers.
    bool portalLeft = false;
    QDBusServiceWatcher watcher(service, bus_, QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, &loop, [&] {
        portalLeft = true;
        loop.quit();
    });

    // A request given up is closed, so that the portal takes its dialog down and ends what it
    // made for it: a session it would otherwise open when its late answer comes. Not waited
    // for: a hung portal must not hold up a program that is giving up or quitting.
    const auto closeRequest = [&] {
        bus_.send(QDBusMessage::createMethodCall(service, expected,
                                                 QStringLiteral("org.freedesktop.portal.Request"),
                                                 QStringLiteral("Close")));
    };
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(QVariantList(arguments) << options);
    const QDBusMessage reply = bus_.call(message, QDBus::Block, timeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        bus_.disconnect(service, expected, QStringLiteral("org.freedesktop.portal.Request"),
                        QStringLiteral("Response"), &receiver, SLOT(onResponse(uint, QVariantMap)));
        if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown"))
            return UserError{
                domain, 10,
                QCoreApplication::translate("PortalRequest",
                                            "找不到桌面门户服务（xdg-desktop-portal）。请安装它，"
                                            "以及与桌面相配的后端：") +
                    portalBackendAdvice()};
        const bool missing =
            reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
            reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod");
        if (missing) return missingInterface(interface);
        // A portal that never takes the call (busy, or hung).
        if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
            reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.Timeout")) {
            closeRequest();
            return noAnswerWithin(timeoutMs_);
        }
        return UserError{domain, 11,
                         QCoreApplication::translate("PortalRequest", "桌面门户拒绝了请求：%1")
                             .arg(reply.errorMessage())};
    }
    // Old portals name the request object differently; follow the handle they return.
    const QString handle = reply.arguments().value(0).value<QDBusObjectPath>().path();
    if (!handle.isEmpty() && handle != expected) {
        subscribe(handle);
        expected = handle;
    }
    bool timedOut = false;
    const auto ended = [&] { return receiver.answered || portalLeft || timedOut || cancelled_; };
    if (!ended()) {
        QTimer limit;
        limit.setSingleShot(true);
        limit.setTimerType(Qt::PreciseTimer);
        QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
        if (answerTimeoutMs_ >= 0) limit.start(answerTimeoutMs_);
        bool awaiting = false;
        QTimer notice;
        notice.setSingleShot(true);
        QObject::connect(&notice, &QTimer::timeout, &loop, [&] {
            awaiting = true;
            loop.quit();
        });
        if (onAwaitingUser) notice.start(awaitingAfterMs);
        waiting_ = &loop;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (awaiting && !ended()) {
            onAwaitingUser(true);
            if (!ended()) loop.exec(QEventLoop::AllEvents);
            onAwaitingUser(false);
        }
        waiting_ = nullptr;
    }
    bus_.disconnect(service, expected, QStringLiteral("org.freedesktop.portal.Request"),
                    QStringLiteral("Response"), &receiver, SLOT(onResponse(uint, QVariantMap)));
    if (!receiver.answered && portalLeft)
        return UserError{
            domain, 13, QCoreApplication::translate("PortalRequest", "桌面门户在回应之前退出了。")};
    if (!receiver.answered) closeRequest();
    if (!receiver.answered && timedOut) return noAnswerWithin(answerTimeoutMs_);
    if (!receiver.answered)  // cancelled, or the loop ended by the application quitting
        return UserError{domain, closedCode,
                         QCoreApplication::translate("PortalRequest", "请求已取消。")};
    return receiver.answer;
}

}  // namespace tessal

#include "PortalRequest.moc"
