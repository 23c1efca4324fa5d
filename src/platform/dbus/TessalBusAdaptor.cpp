#include "TessalBusAdaptor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace tessal {

TessalBusAdaptor::TessalBusAdaptor(BusRequests requests, QObject* parent)
    : QObject(parent), requests_(std::move(requests)) {}

void TessalBusAdaptor::answer(const BusAnswer& result) {
    if (!result || !calledFromDBus()) return;
    const char* name = result->kind == BusRefusal::Kind::invalidInput
                           ? "org.freedesktop.DBus.Error.InvalidArgs"
                       : result->kind == BusRefusal::Kind::busy ? "local.ostrel.Error.Busy"
                                                                : "local.ostrel.Error.Failed";
    sendErrorReply(QString::fromLatin1(name), result->message);
}

void TessalBusAdaptor::Capture(double delay) {
    answer(requests_.capture(delay));
}

void TessalBusAdaptor::CaptureFull(int display, const QString& path) {
    answer(requests_.captureFull(display, path));
}

void TessalBusAdaptor::CaptureRegion(double x, double y, double width, double height,
                                     const QString& path) {
    answer(requests_.captureRegion(Rect(x, y, width, height), path));
}

void TessalBusAdaptor::LastRegion() {
    answer(requests_.lastRegion());
}
void TessalBusAdaptor::OpenHistory() {
    answer(requests_.openHistory());
}
void TessalBusAdaptor::OpenPreferences() {
    answer(requests_.openPreferences());
}

namespace {

class PublishedService final : public SessionBusService {
  public:
    explicit PublishedService(std::unique_ptr<TessalBusAdaptor> adaptor)
        : adaptor_(std::move(adaptor)) {}
    ~PublishedService() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(QString::fromLatin1(sessionBusPath));
        bus.unregisterService(QString::fromLatin1(sessionBusName));
    }
    void captureDone(const QString& path) override { emit adaptor_->CaptureDone(path); }
    void captureCancelled() override { emit adaptor_->CaptureCancelled(); }

  private:
    std::unique_ptr<TessalBusAdaptor> adaptor_;
};

}  // namespace

std::unique_ptr<SessionBusService> publishOnSessionBus(BusRequests requests, QString* error) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        *error = bus.lastError().message();
        return nullptr;
    }
    auto adaptor = std::make_unique<TessalBusAdaptor>(std::move(requests));
    if (!bus.registerObject(QString::fromLatin1(sessionBusPath), adaptor.get(),
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)) {
        *error = bus.lastError().message();
        return nullptr;
    }
    if (!bus.registerService(QString::fromLatin1(sessionBusName))) {
        *error = bus.lastError().message();
        bus.unregisterObject(QString::fromLatin1(sessionBusPath));
        return nullptr;
    }
    return std::make_unique<PublishedService>(std::move(adaptor));
}

namespace {

std::optional<QString> callOn(QDBusConnection bus, const QString& method,
                              const QVariantList& arguments) {
    if (!bus.isConnected() || !bus.interface()) return std::nullopt;
    const QDBusReply<bool> owned =
        bus.interface()->isServiceRegistered(QString::fromLatin1(sessionBusName));
    if (!owned.isValid() || !owned.value()) return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(sessionBusName), QString::fromLatin1(sessionBusPath),
        QString::fromLatin1(sessionBusInterface), method);
    call.setArguments(arguments);
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // The owner went away between the two calls: as if there were none.
        if (reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"))
            return std::nullopt;
        return reply.errorMessage();
    }
    return QString();
}

}  // namespace

std::optional<QString> callRunningTessal(const QString& method, const QVariantList& arguments) {
    // A connection of its own, closed after the call: the process may go on to become the
    // running Tessal and take the name on the default one.
    const QString name = QStringLiteral("tessal-forward");
    std::optional<QString> answer =
        callOn(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name), method, arguments);
    QDBusConnection::disconnectFromBus(name);
    return answer;
}

}  // namespace tessal
