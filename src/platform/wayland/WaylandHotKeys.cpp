#include "WaylandHotKeys.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>

#include "PortalRequest.h"
#include "platform/KeyCodes.h"

namespace tessal {

namespace {

const QString interfaceName = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString shortcutId = QStringLiteral("capture");

// One element of BindShortcuts' a(sa{sv}).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

}  // namespace
}  // namespace tessal

Q_DECLARE_METATYPE(tessal::PortalShortcut)

namespace tessal {

WaylandHotKeys::WaylandHotKeys(QDBusConnection bus, int timeoutMs)
    : bus_(std::move(bus)), timeoutMs_(timeoutMs) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

bool WaylandHotKeys::portalPresent() const {
    QDBusMessage get = QDBusMessage::createMethodCall(
        PortalRequest::service, PortalRequest::path,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({interfaceName, QStringLiteral("version")});
    return bus_.isConnected() && bus_.call(get, QDBus::Block, std::min(timeoutMs_, 2000)).type() ==
                                     QDBusMessage::ReplyMessage;
}

QString WaylandHotKeys::unavailableReason() const {
    if (portalPresent()) return {};
    return QCoreApplication::translate(
        "WaylandHotKeys",
        "此桌面不提供全局快捷键：请在桌面的键盘设置中为命令 tessal capture 绑定快捷键");
}

QString WaylandHotKeys::trigger(std::uint32_t keyCode, std::uint32_t modifiers) {
    const QString key = keyCharacters(int(keyCode)).toLower();
    if (key.size() != 1 || !key[0].isPrint() || key[0].isSpace()) return {};
    QString text;
    if (modifiers & 4096) text += QStringLiteral("CTRL+");
    if (modifiers & 2048) text += QStringLiteral("ALT+");
    if (modifiers & 512) text += QStringLiteral("SHIFT+");
    if (modifiers & 256) text += QStringLiteral("LOGO+");
    return text + key;
}

int WaylandHotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers) {
    if (!portalPresent()) return 0;
    PortalRequest request(bus_, timeoutMs_);
    if (session_.isEmpty()) {
        const auto created = request.createSession(interfaceName);
        if (!created || !created.value()) return 0;
        session_ = *created.value();
        bus_.connect(PortalRequest::service, PortalRequest::path, interfaceName,
                     QStringLiteral("Activated"), this,
                     SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    }
    QVariantMap properties{
        {QStringLiteral("description"), QCoreApplication::translate("WaylandHotKeys", "截图")}};
    const QString preferred = trigger(keyCode, modifiers);
    if (!preferred.isEmpty()) properties.insert(QStringLiteral("preferred_trigger"), preferred);
    const QList<PortalShortcut> shortcuts{{shortcutId, properties}};
    const auto bound = request.call(
        interfaceName, QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts), QString()},
        {});
    if (!bound || bound.value().response != PortalRequest::success) return 0;
    reference_ = ++references_;
    return reference_;
}

void WaylandHotKeys::unregisterHotKey(int reference) {
    // The portal keeps the binding for the session; a released reference just stops reporting.
    if (reference == reference_) reference_ = 0;
}

void WaylandHotKeys::onActivated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                 const QVariantMap&) {
    if (session.path() == session_ && id == shortcutId && reference_ != 0 && onPressed)
        onPressed(reference_);
}

}  // namespace tessal
