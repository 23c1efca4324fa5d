#pragma once

#include <QDBusConnection>
#include <QRect>
#include <QString>

#include "base/UserError.h"

namespace tessal {

class PortalRequest;

// One display's live picture through the desktop portal (org.freedesktop.portal.ScreenCast),
// for desktops where no client may read the screen by itself (GNOME, KDE): a session asks for
// one monitor without the pointer, the desktop asks the user which one (unless an earlier
// answer's restore token stands), and the frames then come over PipeWire.
class ScreenCastPortal {
  public:
    struct Cast {
        int pipewireFd = -1;  // owned by the caller: the remote to read the node from
        quint32 node = 0;
        QRect logical;  // the display cast, in the compositor's coordinates (points); may be empty
        QString session;
        QString restoreToken;  // for the next session: asks the same display without a dialog
        bool remoteDesktop =
            false;             // the session is a remote-desktop one (its token is of that kind)
        bool pointer = false;  // and the user let it move the pointer
        bool pointerInFrames = true;  // the portal could not leave the pointer out of the frames
    };

    explicit ScreenCastPortal(QDBusConnection bus, int timeoutMs = 15'000)
        : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

    // Opens the session (blocking this thread, which needs an event loop to spin: the user's
    // answer may take any time). The session stays open until close(); on failure none is left.
    // Failures: those of PortalRequest, and (20) the user declined, (21) the desktop refused or
    // gave no stream, (22) no PipeWire remote.
    // With `withPointer`, a remote-desktop session that may also move the pointer (the user is
    // asked for both at once); its restore token is of that kind.
    Result<Cast> open(const QString& restoreToken, bool withPointer = false);
    // Whether the portal's remote-desktop sessions may move a pointer.
    static bool offersPointer(const QDBusConnection& bus, int timeoutMs = 1000);
    // Ends the wait of open() under way; call it on open()'s thread.
    void cancel();

    static void close(QDBusConnection bus, const QString& session);

  private:
    QDBusConnection bus_;
    int timeoutMs_;
    PortalRequest* current_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace tessal
