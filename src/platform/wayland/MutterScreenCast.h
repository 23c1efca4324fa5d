#pragma once

#include <QDBusConnection>
#include <QRect>
#include <QString>

#include "base/UserError.h"

namespace tessal {

// A live picture of part of the screen through GNOME's own screen-cast service
// (org.gnome.Mutter.ScreenCast), which the desktop portal drives on GNOME: the same PipeWire
// frames without the portal's dialog. GNOME shows its screen-sharing indicator while it runs,
// and ends the cast when our connection to the bus goes.
class MutterScreenCast {
  public:
    static inline const QString service = QStringLiteral("org.gnome.Mutter.ScreenCast");

    struct Cast {
        quint32 node = 0;  // on the user's PipeWire daemon
        QString session;
    };

    // Whether GNOME's service is on the bus.
    static bool available(const QDBusConnection& bus);
    // Casts `area` (the compositor's coordinates, points) without the pointer; blocks this
    // thread, which needs an event loop to spin, until the stream is ready (at most `timeoutMs`).
    static Result<Cast> open(QDBusConnection bus, const QRect& area, int timeoutMs = 5000);
    static void close(QDBusConnection bus, const QString& session);
};

}  // namespace tessal
