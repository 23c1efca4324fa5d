#include "MutterScreenCast.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QEventLoop>
#include <QTimer>

namespace tessal {

namespace {

const QString domain = QStringLiteral("Ostrel");
const QString path = QStringLiteral("/org/gnome/Mutter/ScreenCast");
const QString sessionInterface = QStringLiteral("org.gnome.Mutter.ScreenCast.Session");
constexpr uint kCursorHidden = 0;

UserError failure(const QString& detail) {
    return {
        domain, 21,
        QCoreApplication::translate("MutterScreenCast", "GNOME 没有开始屏幕共享：%1").arg(detail)};
}

// Receives the stream's one PipeWireStreamAdded signal.
class NodeReceiver final : public QObject {
    Q_OBJECT
  public:
    explicit NodeReceiver(QEventLoop& loop) : loop_(loop) {}
    std::optional<quint32> node;

  public Q_SLOTS:
    void onAdded(uint id) {
        node = id;
        loop_.quit();
    }

  private:
    QEventLoop& loop_;
};

}  // namespace

bool MutterScreenCast::available(const QDBusConnection& bus) {
    return bus.isConnected() && bus.interface()->isServiceRegistered(service).value();
}

void MutterScreenCast::close(QDBusConnection bus, const QString& session) {
    if (session.isEmpty()) return;
    bus.send(
        QDBusMessage::createMethodCall(service, session, sessionInterface, QStringLiteral("Stop")));
}

Result<MutterScreenCast::Cast> MutterScreenCast::open(QDBusConnection bus, const QRect& area,
                                                      int timeoutMs) {
    const auto call = [&](const QString& object, const QString& interface, const QString& method,
                          const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(service, object, interface, method);
        message.setArguments(arguments);
        return bus.call(message, QDBus::Block, timeoutMs);
    };
    const QDBusMessage created = call(path, QStringLiteral("org.gnome.Mutter.ScreenCast"),
                                      QStringLiteral("CreateSession"), {QVariantMap()});
    if (created.type() != QDBusMessage::ReplyMessage || created.arguments().isEmpty())
        return failure(created.errorMessage());
    Cast cast;
    cast.session = created.arguments().first().value<QDBusObjectPath>().path();
    const QDBusMessage recorded =
        call(cast.session, sessionInterface, QStringLiteral("RecordArea"),
             {area.x(), area.y(), area.width(), area.height(),
              QVariantMap{{QStringLiteral("cursor-mode"), kCursorHidden}}});
    if (recorded.type() != QDBusMessage::ReplyMessage || recorded.arguments().isEmpty()) {
        close(bus, cast.session);
        return failure(recorded.errorMessage());
    }
    const QString stream = recorded.arguments().first().value<QDBusObjectPath>().path();

    QEventLoop loop;
    NodeReceiver receiver(loop);
    bus.connect(service, stream, QStringLiteral("org.gnome.Mutter.ScreenCast.Stream"),
                QStringLiteral("PipeWireStreamAdded"), &receiver, SLOT(onAdded(uint)));
    const QDBusMessage started = call(cast.session, sessionInterface, QStringLiteral("Start"), {});
    if (started.type() != QDBusMessage::ReplyMessage) {
        close(bus, cast.session);
        return failure(started.errorMessage());
    }
    if (!receiver.node) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    bus.disconnect(service, stream, QStringLiteral("org.gnome.Mutter.ScreenCast.Stream"),
                   QStringLiteral("PipeWireStreamAdded"), &receiver, SLOT(onAdded(uint)));
    if (!receiver.node) {
        close(bus, cast.session);
        return failure(QCoreApplication::translate("MutterScreenCast", "画面流没有在 %1 秒内就绪")
                           .arg(timeoutMs / 1000.0, 0, 'g', 3));
    }
    cast.node = *receiver.node;
    return cast;
}

}  // namespace tessal

#include "MutterScreenCast.moc"
