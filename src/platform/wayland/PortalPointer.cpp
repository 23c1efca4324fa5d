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

void PortalPointer::post(const QString& session, const QString& method, QVariantList arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        PortalRequest::service, PortalRequest::path, remoteInterface, method);
    arguments.prepend(QVariantMap());
    arguments.prepend(QVariant::fromValue(QDBusObjectPath(session)));
    message.setArguments(arguments);
    posted_.post(bus_, message, kCallTimeoutMs);
}

// A session's first event, which adds its pointer (PostedCalls::firstEventSent), moves the
// pointer by nothing.
void PortalPointer::ready(const QString& session) {
    posted_.clear();
    session_ = session;
    post(session, QStringLiteral("NotifyPointerMotion"), {0.0, 0.0});
    posted_.firstEventSent();
}

void PortalPointer::prepare() {
    if (const std::optional<PortalRemote::Session> session = remote_->current();
        session && session->path != session_)
        ready(session->path);
}

bool PortalPointer::scroll(QPoint at, int notches, bool horizontal, QPoint park, const QRect&) {
    const std::optional<PortalRemote::Session> session = remote_->current();
    if (!session || notches == 0 || !session->logical.contains(at)) return false;
    if (session->path != session_)
        ready(session->path);
    else if (!posted_.allTaken())
        // The portal refused an event of this session: it moves nothing for us.
        return false;
    // Readied by prepare() a step ago, the session's pointer is there by now.
    posted_.awaitSeat();
    // Positions are the stream's own points, from its top left corner.
    const auto moveTo = [&](QPoint point) {
        const QPoint local = point - session->logical.topLeft();
        post(session->path, QStringLiteral("NotifyPointerMotionAbsolute"),
             {session->node, double(local.x()), double(local.y())});
    };
    moveTo(at);
    // Positive steps: down or right, as the wheel turns them.
    post(session->path, QStringLiteral("NotifyPointerAxisDiscrete"),
         {horizontal ? 1u : 0u, notches});
    // Parked only where the frames would show it: moved off the source between turns, the
    // pointer lost a turn now and then on GNOME (the window taking the wheel once more as it
    // came back, seen in one of every six to ten). Off the stream's display it stays too.
    if (session->pointerInFrames && session->logical.contains(park)) moveTo(park);
    return true;
}

}  // namespace tessal
