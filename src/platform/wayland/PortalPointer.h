#pragma once

#include <QDBusConnection>
#include <QRect>
#include <QString>
#include <memory>
#include <mutex>
#include <optional>

#include "PostedCalls.h"
#include "VirtualPointer.h"

namespace tessal {

// The desktop portal's remote-desktop session that casts the screen for a long capture, where
// the user also let it move the pointer. The screen cast publishes it while it lives; the
// pointer below uses it.
class PortalRemote {
  public:
    struct Session {
        QString path;
        quint32 node = 0;             // the cast's stream, which pointer positions are relative to
        QRect logical;                // the display the stream shows, in layout points
        bool pointerInFrames = true;  // the cast could not leave the pointer out
    };
    void publish(const Session& session);
    // Only the session given: a later one published meanwhile stays.
    void withdraw(const QString& path);
    std::optional<Session> current() const;

  private:
    mutable std::mutex mutex_;
    std::optional<Session> session_;
};

// Wheel turns through that session (org.freedesktop.portal.RemoteDesktop): on desktops whose
// compositor offers clients no pointer of their own (KDE Plasma, among others; on GNOME when
// the long capture's cast is the portal's). There is no turn while no session is published.
class PortalPointer final : public WheelPointer {
  public:
    PortalPointer(QDBusConnection bus, std::shared_ptr<const PortalRemote> remote)
        : bus_(std::move(bus)), remote_(std::move(remote)) {}
    bool scroll(QPoint at, int notches, bool horizontal, QPoint park, const QRect& layout) override;
    // Readies the published session's pointer, which the desktop may add only at its first event.
    void prepare() override;

  private:
    void ready(const QString& session);
    void post(const QString& session, const QString& method, QVariantList arguments);

    QDBusConnection bus_;
    std::shared_ptr<const PortalRemote> remote_;
    QString session_;  // the session readied, which the posted events went to
    PostedCalls posted_;
};

}  // namespace tessal
