#include "AtspiAccessibility.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <algorithm>
#include <cmath>

#include "base/Clock.h"

namespace {

// An AT-SPI object reference: (bus name, object path).
struct AtspiReference {
    QString service;
    QDBusObjectPath path;
};

QDBusArgument& operator<<(QDBusArgument& argument, const AtspiReference& r) {
    argument.beginStructure();
    argument << r.service << r.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, AtspiReference& r) {
    argument.beginStructure();
    argument >> r.service >> r.path;
    argument.endStructure();
    return argument;
}

}  // namespace

Q_DECLARE_METATYPE(AtspiReference)

namespace tessal {
namespace {

const QString kRegistry = QStringLiteral("org.a11y.atspi.Registry");
const QString kRoot = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString kNull = QStringLiteral("/org/a11y/atspi/null");
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kComponent = QStringLiteral("org.a11y.atspi.Component");

std::optional<AccessibleElement> element(const AtspiReference& r) {
    const QString path = r.path.path();
    if (r.service.isEmpty() || path.isEmpty() || path == kNull) return std::nullopt;
    return AccessibleElement{r.service, path};
}

// Reads a reply argument that should hold references; anything else gives nothing.
std::vector<AtspiReference> references(const QVariant& value) {
    std::vector<AtspiReference> list;
    if (!value.canConvert<QDBusArgument>()) return list;
    const QDBusArgument argument = value.value<QDBusArgument>();
    // Another application wrote this reply: read it only in the shape AT-SPI defines, since
    // extracting a value of another type aborts inside libdbus.
    if (argument.currentSignature() != QLatin1String("a(so)")) return list;
    argument.beginArray();
    while (!argument.atEnd()) {
        AtspiReference r;
        argument >> r;
        list.push_back(r);
    }
    argument.endArray();
    return list;
}

std::optional<AtspiReference> reference(const QVariant& value) {
    QVariant inner = value;
    if (inner.canConvert<QDBusVariant>()) inner = inner.value<QDBusVariant>().variant();
    if (!inner.canConvert<QDBusArgument>()) return std::nullopt;
    const QDBusArgument argument = inner.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(so)")) return std::nullopt;
    AtspiReference r;
    argument >> r;
    return r;
}

}  // namespace

AtspiAccessibility::AtspiAccessibility(int timeoutMs, QString sessionAddress)
    : timeoutMs_(timeoutMs), sessionAddress_(std::move(sessionAddress)) {
    qDBusRegisterMetaType<AtspiReference>();
    qDBusRegisterMetaType<QList<AtspiReference>>();
    refreshDisplays();
}

void AtspiAccessibility::refreshDisplays() {
    auto mappings = currentDisplayMappings();
    std::lock_guard lock(mutex_);
    displays_ = std::move(mappings);
}

QDBusConnection AtspiAccessibility::session() {
    if (sessionAddress_.isEmpty()) return QDBusConnection::sessionBus();
    return QDBusConnection::connectToBus(sessionAddress_, QStringLiteral("tessal-session"));
}

int AtspiAccessibility::callTimeout() const {
    const auto deadline = AccessibilityDeadline::current();
    if (!deadline) return timeoutMs_;
    const double left = (*deadline - SystemClock::shared().uptime()) * 1000;
    if (left < 1) return 0;
    return std::min(timeoutMs_, int(std::ceil(left)));
}

QDBusMessage AtspiAccessibility::call(QDBusConnection& connection, const QDBusMessage& message) {
    const int timeout = callTimeout();
    if (timeout <= 0)
        return QDBusMessage::createError(QDBusError::Timeout, QStringLiteral("deadline passed"));
    return connection.call(message, QDBus::Block, timeout);
}

bool AtspiAccessibility::isTrusted() {
    QDBusConnection session = this->session();
    if (!session.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                       "org.freedesktop.DBus.Properties", "Get");
    call << QStringLiteral("org.a11y.Status") << QStringLiteral("IsEnabled");
    const QDBusMessage reply = this->call(session, call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    const QVariant value = qvariant_cast<QDBusVariant>(reply.arguments().first()).variant();
    return value.typeId() == QMetaType::Bool && value.toBool();
}

bool AtspiAccessibility::requestTrust() {
    QDBusConnection session = this->session();
    if (!session.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                       "org.freedesktop.DBus.Properties", "Set");
    call << QStringLiteral("org.a11y.Status") << QStringLiteral("IsEnabled")
         << QVariant::fromValue(QDBusVariant(true));
    this->call(session, call);
    return isTrusted();
}

std::optional<QDBusConnection> AtspiAccessibility::bus() {
    std::optional<QString> address;
    {
        std::lock_guard lock(mutex_);
        address = busAddress_;
    }
    if (!address) {
        QDBusConnection session = this->session();
        if (!session.isConnected()) return std::nullopt;
        const QDBusMessage reply =
            call(session, QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                         "org.a11y.Bus", "GetAddress"));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return std::nullopt;
        address = reply.arguments().first().toString();
        if (address->isEmpty()) return std::nullopt;
        std::lock_guard lock(mutex_);
        busAddress_ = address;
    }
    QDBusConnection connection =
        QDBusConnection::connectToBus(*address, QStringLiteral("tessal-a11y"));
    if (!connection.isConnected()) return std::nullopt;
    return connection;
}

std::optional<AccessibleElement> AtspiAccessibility::application(int pid) {
    auto connection = bus();
    if (!connection) return std::nullopt;
    const QDBusMessage reply = call(
        *connection, QDBusMessage::createMethodCall(kRegistry, kRoot, kAccessible, "GetChildren"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    for (const AtspiReference& app : references(reply.arguments().first())) {
        QDBusMessage ask =
            QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                           "org.freedesktop.DBus", "GetConnectionUnixProcessID");
        ask << app.service;
        const QDBusMessage answer = call(*connection, ask);
        if (answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty() &&
            answer.arguments().first().toInt() == pid)
            return AccessibleElement{app.service, kRoot};
    }
    return std::nullopt;
}

std::vector<AccessibleElement> AtspiAccessibility::children(const AccessibleElement& e, int limit) {
    std::vector<AccessibleElement> list;
    auto connection = bus();
    if (!connection || limit <= 0) return list;
    const QDBusMessage reply = call(
        *connection, QDBusMessage::createMethodCall(e.service, e.path, kAccessible, "GetChildren"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return list;
    for (const AtspiReference& r : references(reply.arguments().first())) {
        if (auto child = element(r)) list.push_back(*child);
        if (int(list.size()) >= limit) break;
    }
    return list;
}

std::vector<AccessibleElement> AtspiAccessibility::windows(const AccessibleElement& application) {
    return children(application, 96);
}

std::optional<AccessibleElement> AtspiAccessibility::parent(const AccessibleElement& e) {
    auto connection = bus();
    if (!connection) return std::nullopt;
    QDBusMessage call =
        QDBusMessage::createMethodCall(e.service, e.path, "org.freedesktop.DBus.Properties", "Get");
    call << kAccessible << QStringLiteral("Parent");
    const QDBusMessage reply = this->call(*connection, call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const auto r = reference(reply.arguments().first());
    return r ? element(*r) : std::nullopt;
}

std::optional<QRect> AtspiAccessibility::nativeExtents(const AccessibleElement& e) {
    auto connection = bus();
    if (!connection) return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(e.service, e.path, kComponent, "GetExtents");
    call << quint32(0);  // screen coordinates
    const QDBusMessage reply = this->call(*connection, call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const QVariant value = reply.arguments().first();
    if (!value.canConvert<QDBusArgument>()) return std::nullopt;
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(iiii)")) return std::nullopt;
    int x = 0, y = 0, w = 0, h = 0;
    argument.beginStructure();
    argument >> x >> y >> w >> h;
    argument.endStructure();
    if (w <= 0 || h <= 0) return std::nullopt;
    return QRect(x, y, w, h);
}

std::optional<Rect> AtspiAccessibility::frame(const AccessibleElement& e) {
    const auto native = nativeExtents(e);
    if (!native) return std::nullopt;
    std::lock_guard lock(mutex_);
    return windowListRectFromNative(*native, displays_);
}

std::optional<AccessibleElement> AtspiAccessibility::elementAt(const AccessibleElement& application,
                                                               Point point) {
    auto connection = bus();
    if (!connection) return std::nullopt;
    QPoint native;
    {
        std::lock_guard lock(mutex_);
        native = nativeFromWindowListPoint(point, displays_);
    }
    // Start from the window under the point, then ask each element for the child there until
    // no deeper one answers.
    std::optional<AccessibleElement> current;
    for (const AccessibleElement& w : windows(application)) {
        const auto extents = nativeExtents(w);
        if (extents && extents->contains(native)) {
            current = w;
            break;
        }
    }
    for (int depth = 0; current && depth < 32; ++depth) {
        QDBusMessage call = QDBusMessage::createMethodCall(current->service, current->path,
                                                           kComponent, "GetAccessibleAtPoint");
        call << native.x() << native.y() << quint32(0);
        const QDBusMessage reply = this->call(*connection, call);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) break;
        const auto r = reference(reply.arguments().first());
        const auto deeper = r ? element(*r) : std::nullopt;
        if (!deeper || *deeper == *current) break;
        current = deeper;
    }
    return current;
}

}  // namespace tessal
