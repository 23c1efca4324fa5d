#include "ScreenCastPortal.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>

#include "PortalRequest.h"

namespace tessal {

namespace {

const QString domain = QStringLiteral("Ostrel");
const QString interface = QStringLiteral("org.freedesktop.portal.ScreenCast");
const QString remoteInterface = QStringLiteral("org.freedesktop.portal.RemoteDesktop");

// ScreenCast's source types and cursor modes, RemoteDesktop's device types (bit flags).
constexpr uint kMonitor = 1;
constexpr uint kCursorHidden = 1;
constexpr uint kPointer = 2;
// The permission outlives the session and the program, until the user revokes it.
constexpr uint kPersistUntilRevoked = 2;

std::optional<uint> property(const QDBusConnection& bus, const QString& of, const QString& name,
                             int timeoutMs) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        PortalRequest::service, PortalRequest::path,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << of << name;
    const QDBusMessage reply = bus.call(get, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    bool ok = false;
    const uint value = reply.arguments().first().value<QDBusVariant>().variant().toUInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

// A (ii) pair of a stream's properties.
std::optional<QPoint> pair(const QVariant& value) {
    if (!value.canConvert<QDBusArgument>()) return {};
    const QDBusArgument argument = value.value<QDBusArgument>();
    int x = 0, y = 0;
    argument.beginStructure();
    argument >> x >> y;
    argument.endStructure();
    return QPoint(x, y);
}

struct Stream {
    quint32 node = 0;
    QRect logical;
};

// The first stream of Start's "streams" (a(ua{sv})).
std::optional<Stream> firstStream(const QVariant& streams) {
    if (!streams.canConvert<QDBusArgument>()) return {};
    const QDBusArgument argument = streams.value<QDBusArgument>();
    std::optional<Stream> first;
    argument.beginArray();
    while (!argument.atEnd()) {
        Stream stream;
        QVariantMap properties;
        argument.beginStructure();
        argument >> stream.node >> properties;
        argument.endStructure();
        const std::optional<QPoint> position = pair(properties.value(QStringLiteral("position")));
        const std::optional<QPoint> size = pair(properties.value(QStringLiteral("size")));
        if (size && size->x() > 0 && size->y() > 0)
            stream.logical = QRect(position.value_or(QPoint()), QSize(size->x(), size->y()));
        if (!first) first = stream;
    }
    argument.endArray();
    return first;
}

}  // namespace

bool ScreenCastPortal::offersPointer(const QDBusConnection& bus, int timeoutMs) {
    return property(bus, remoteInterface, QStringLiteral("AvailableDeviceTypes"), timeoutMs)
               .value_or(0) &
           kPointer;
}

void ScreenCastPortal::cancel() {
    cancelled_ = true;
    if (current_) current_->cancel();
}

void ScreenCastPortal::close(QDBusConnection bus, const QString& session) {
    if (session.isEmpty()) return;
    bus.send(QDBusMessage::createMethodCall(PortalRequest::service, session,
                                            QStringLiteral("org.freedesktop.portal.Session"),
                                            QStringLiteral("Close")));
}

Result<ScreenCastPortal::Cast> ScreenCastPortal::open(const QString& restoreToken,
                                                      bool withPointer) {
    cancelled_ = false;
    const auto closed = [] {
        return UserError{domain, PortalRequest::closedCode,
                         QCoreApplication::translate("ScreenCastPortal", "请求已取消。")};
    };
    // Each request in turn, cancellable; `waitForUser` for the one that may show the desktop's
    // dialog.
    const auto request = [&](bool waitForUser, const auto& make) {
        using Answer = decltype(make(std::declval<PortalRequest&>()));
        if (cancelled_) return Answer(closed());
        PortalRequest portal(
            bus_, timeoutMs_,
            waitForUser ? std::optional(PortalRequest::noAnswerLimit) : std::nullopt);
        current_ = &portal;
        Answer answer = make(portal);
        current_ = nullptr;
        return answer;
    };
    const auto step = [&](const QString& of, const QString& method, const QVariantList& arguments,
                          const QVariantMap& options, bool waitForUser) {
        return request(waitForUser,
                       [&](PortalRequest& r) { return r.call(of, method, arguments, options); });
    };
    // A session that may also move the pointer is a remote-desktop one, which casts the screen
    // too and keeps the permission for both.
    const QString sessionInterface = withPointer ? remoteInterface : interface;
    const uint version =
        property(bus_, sessionInterface, QStringLiteral("version"), timeoutMs_).value_or(0);
    const bool persists = version >= (withPointer ? 2u : 4u);

    Cast cast;
    const auto fail = [&](UserError error) {
        close(bus_, cast.session);
        return error;
    };
    const Result<std::optional<QString>> created =
        request(false, [&](PortalRequest& r) { return r.createSession(sessionInterface); });
    if (!created) return created.error();
    if (!created.value())
        return UserError{
            domain, 21,
            QCoreApplication::translate("ScreenCastPortal", "桌面拒绝了屏幕共享会话。")};
    cast.session = *created.value();
    const QDBusObjectPath session(cast.session);

    QVariantMap kept;
    if (persists) {
        kept.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
        if (!restoreToken.isEmpty()) kept.insert(QStringLiteral("restore_token"), restoreToken);
    }
    if (withPointer) {
        QVariantMap devices = kept;
        devices.insert(QStringLiteral("types"), kPointer);
        Result<PortalRequest::Answer> chosen =
            step(remoteInterface, QStringLiteral("SelectDevices"), {QVariant::fromValue(session)},
                 devices, false);
        if (!chosen) return fail(chosen.error());
        if (chosen.value().response != PortalRequest::success)
            return fail({domain, 21,
                         QCoreApplication::translate("ScreenCastPortal",
                                                     "桌面拒绝了远程控制指针的请求。")});
    }
    QVariantMap sources = {{QStringLiteral("types"), kMonitor},
                           {QStringLiteral("multiple"), false}};
    // The frames are stitched: the pointer must not be in them.
    if (property(bus_, interface, QStringLiteral("AvailableCursorModes"), timeoutMs_).value_or(0) &
        kCursorHidden) {
        sources.insert(QStringLiteral("cursor_mode"), kCursorHidden);
        cast.pointerInFrames = false;
    }
    // A remote-desktop session keeps its permission with its devices.
    if (!withPointer) sources.insert(kept);
    Result<PortalRequest::Answer> selected = step(interface, QStringLiteral("SelectSources"),
                                                  {QVariant::fromValue(session)}, sources, false);
    if (!selected) return fail(selected.error());
    if (selected.value().response != PortalRequest::success)
        return fail(
            {domain, 21,
             QCoreApplication::translate("ScreenCastPortal", "桌面拒绝了所选的屏幕共享来源。")});

    Result<PortalRequest::Answer> started =
        step(sessionInterface, QStringLiteral("Start"), {QVariant::fromValue(session), QString()},
             {}, true);
    if (!started) return fail(started.error());
    if (started.value().response == PortalRequest::cancelled)
        return fail({domain, 20,
                     QCoreApplication::translate("ScreenCastPortal",
                                                 "屏幕共享被拒绝：长截图需要读取显示器的画面。")});
    if (started.value().response != PortalRequest::success)
        return fail({domain, 21,
                     QCoreApplication::translate("ScreenCastPortal", "桌面没有开始屏幕共享。")});
    const std::optional<Stream> stream =
        firstStream(started.value().results.value(QStringLiteral("streams")));
    if (!stream)
        return fail(
            {domain, 21,
             QCoreApplication::translate("ScreenCastPortal", "桌面没有给出屏幕共享的画面流。")});
    cast.node = stream->node;
    cast.logical = stream->logical;
    cast.restoreToken = started.value().results.value(QStringLiteral("restore_token")).toString();
    cast.remoteDesktop = withPointer;
    cast.pointer = withPointer &&
                   (started.value().results.value(QStringLiteral("devices")).toUInt() & kPointer);

    if (cancelled_) return fail(closed());
    QDBusMessage remote =
        QDBusMessage::createMethodCall(PortalRequest::service, PortalRequest::path, interface,
                                       QStringLiteral("OpenPipeWireRemote"));
    remote << QVariant::fromValue(session) << QVariantMap();
    const QDBusMessage reply = bus_.call(remote, QDBus::Block, timeoutMs_);
    const QDBusUnixFileDescriptor fd =
        reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
            ? reply.arguments().first().value<QDBusUnixFileDescriptor>()
            : QDBusUnixFileDescriptor();
    if (!fd.isValid())
        return fail(
            {domain, 22,
             QCoreApplication::translate("ScreenCastPortal", "无法连接屏幕共享的 PipeWire 服务：%1")
                 .arg(reply.errorMessage().isEmpty()
                          ? QCoreApplication::translate("ScreenCastPortal", "没有回应")
                          : reply.errorMessage())});
    // The descriptor above closes its own copy.
    cast.pipewireFd = fcntl(fd.fileDescriptor(), F_DUPFD_CLOEXEC, 3);
    if (cast.pipewireFd < 0)
        return fail(
            {domain, 22,
             QCoreApplication::translate("ScreenCastPortal", "无法连接屏幕共享的 PipeWire 服务：%1")
                 .arg(QCoreApplication::translate("ScreenCastPortal", "没有回应"))});
    return cast;
}

}  // namespace tessal
