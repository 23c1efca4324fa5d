#include "MutterPointer.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QGuiApplication>
#include <algorithm>

namespace tessal {

namespace {

const QString path = QStringLiteral("/org/gnome/Mutter/RemoteDesktop");
const QString sessionInterface = QStringLiteral("org.gnome.Mutter.RemoteDesktop.Session");
constexpr int kCallTimeoutMs = 2000;
constexpr int kFarAway = 1'000'000;

}  // namespace

std::unique_ptr<MutterPointer> MutterPointer::open(QDBusConnection bus, const QRect& layout) {
    // The pointer is placed from the layout's bottom right corner, which must be on a display.
    if (!bus.isConnected() || layout.isEmpty() ||
        !QGuiApplication::screenAt(layout.bottomRight()) ||
        !bus.interface()->isServiceRegistered(service).value())
        return nullptr;
    std::unique_ptr<MutterPointer> pointer(new MutterPointer(std::move(bus), layout));
    if (!pointer->start()) return nullptr;
    return pointer;
}

MutterPointer::MutterPointer(QDBusConnection bus, const QRect& layout)
    : bus_(std::move(bus)), layout_(layout) {
    idle_.setSingleShot(true);
    idle_.setInterval(kIdleMs);
    QObject::connect(&idle_, &QTimer::timeout, [this] { stop(); });
}

MutterPointer::~MutterPointer() {
    stop();
}

bool MutterPointer::start() {
    QDBusMessage create = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.gnome.Mutter.RemoteDesktop"),
        QStringLiteral("CreateSession"));
    const QDBusMessage created = bus_.call(create, QDBus::Block, kCallTimeoutMs);
    if (created.type() != QDBusMessage::ReplyMessage || created.arguments().isEmpty()) return false;
    session_ = created.arguments().first().value<QDBusObjectPath>().path();
    // The session's first event adds its pointer (PostedCalls::firstEventSent).
    if (!notify(QStringLiteral("Start"), {}) ||
        !notify(QStringLiteral("NotifyPointerMotionRelative"),
                {double(kFarAway), double(kFarAway)})) {
        stop();
        return false;
    }
    posted_.firstEventSent();
    position_ = layout_.bottomRight();
    idle_.start();
    return true;
}

void MutterPointer::prepare() {
    if (session_.isEmpty())
        start();
    else
        idle_.start();
}

void MutterPointer::stop() {
    idle_.stop();
    posted_.clear();
    if (session_.isEmpty()) return;
    bus_.send(QDBusMessage::createMethodCall(service, session_, sessionInterface,
                                             QStringLiteral("Stop")));
    session_.clear();
}

bool MutterPointer::notify(const QString& method, const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(service, session_, sessionInterface, method);
    message.setArguments(arguments);
    return bus_.call(message, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

bool MutterPointer::scroll(QPoint at, int notches, bool horizontal, QPoint park,
                           const QRect& layout) {
    if (notches == 0 || layout != layout_) return false;
    // A session GNOME refused an event of ends; the next turn opens another.
    if (!session_.isEmpty() && !posted_.allTaken()) {
        stop();
        return false;
    }
    if (session_.isEmpty() && !start()) return false;
    idle_.start();
    // Opened by prepare() a step ago, the session is ready by now.
    posted_.awaitSeat();
    // GNOME places such a pointer only relatively: from the layout's bottom right corner,
    // where the session's first motion pushed it (the top left corner would open the
    // overview), then from wherever we left it.
    const auto moveTo = [&](QPoint point) {
        const QPoint target(std::clamp(point.x(), layout_.left(), layout_.right()),
                            std::clamp(point.y(), layout_.top(), layout_.bottom()));
        const QPoint step = target - position_;
        post(QStringLiteral("NotifyPointerMotionRelative"), {double(step.x()), double(step.y())});
        position_ = target;
    };
    // Positive steps: down or right, as the wheel turns them.
    moveTo(at);
    post(QStringLiteral("NotifyPointerAxisDiscrete"), {horizontal ? 1u : 0u, notches});
    moveTo(park);
    return true;
}

void MutterPointer::post(const QString& method, const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(service, session_, sessionInterface, method);
    message.setArguments(arguments);
    posted_.post(bus_, message, kCallTimeoutMs);
}

}  // namespace tessal
