#include "PortalPointer.h"

#include <QDBusMessage>
#include <QDBusObjectPath>

#include "PortalRequest.h"

namespace tessal {

namespace {

const QString remoteInterface = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
constexpr int kCallTimeoutMs = 2000;

}  // namespace

void PortalRemote::publish(const Session& session) {
    std::lock_guard lock(mutex_);
    session_ = session;
}

void PortalRemote::withdraw(const QString& path) {
    std::lock_guard lock(mutex_);
    if (session_ && session_->path == path) session_.reset();
}

std::optional<PortalRemote::Session> PortalRemote::current() const {
    std::lock_guard lock(mutex_);
    return session_;
}

bool PortalPointer::scroll(QPoint at, int notches, bool horizontal, QPoint park, const QRect&) {
    const std::optional<PortalRemote::Session> session = remote_->current();
    if (!session || notches == 0 || !session->logical.contains(at)) return false;
    if (session->path != session_) {
        posted_.clear();
        session_ = session->path;
    } else if (!posted_.allTaken()) {
        // The portal refused an event of this session: it moves nothing for us.
        return false;
    }
    const QDBusObjectPath path(session->path);
    const auto post = [&](const QString& method, QVariantList arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            PortalRequest::service, PortalRequest::path, remoteInterface, method);
        arguments.prepend(QVariantMap());
        arguments.prepend(QVariant::fromValue(path));
        message.setArguments(arguments);
        posted_.post(bus_, message, kCallTimeoutMs);
    };
    // Positions are the stream's own points, from its top left corner.
    const auto moveTo = [&](QPoint point) {
        const QPoint local = point - session->logical.topLeft();
        post(QStringLiteral("NotifyPointerMotionAbsolute"),
             {session->node, double(local.x()), double(local.y())});
    };
    moveTo(at);
    // Positive steps: down or right, as the wheel turns them.
    post(QStringLiteral("NotifyPointerAxisDiscrete"), {horizontal ? 1u : 0u, notches});
    // Off the stream's display, the pointer stays where the wheel turned.
    if (session->logical.contains(park)) moveTo(park);
    return true;
}

}  // namespace tessal
