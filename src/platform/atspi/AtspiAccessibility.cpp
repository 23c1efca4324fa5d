#include "AtspiAccessibility.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace tessal {
namespace {

const QString kService = QStringLiteral("org.a11y.Bus");
const QString kPath = QStringLiteral("/org/a11y/bus");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kStatus = QStringLiteral("org.a11y.Status");

}  // namespace

bool AtspiAccessibility::isTrusted() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kProperties, "Get");
    call << kStatus << QStringLiteral("IsEnabled");
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    const QVariant value = qvariant_cast<QDBusVariant>(reply.arguments().first()).variant();
    return value.typeId() == QMetaType::Bool && value.toBool();
}

bool AtspiAccessibility::requestTrust() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kProperties, "Set");
    call << kStatus << QStringLiteral("IsEnabled") << QVariant::fromValue(QDBusVariant(true));
    bus.call(call, QDBus::Block, timeoutMs_);
    return isTrusted();
}

}  // namespace tessal
