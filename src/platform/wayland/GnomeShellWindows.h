#pragma once

#include <QDBusConnection>

#include "CompositorWindows.h"

namespace tessal {

// GNOME Shell, through the small extension Tessal ships (resources/gnome-shell), which the user
// enables once: GNOME tells other programs nothing of where windows are. Without it, GNOME keeps
// the fallback (each display one window, the image analysis inside it). No window is focused
// from here: on GNOME the long capture's keys reach it because its own window has the keyboard.
class GnomeShellWindows final : public CompositorWindows {
  public:
    static inline const QString service = QStringLiteral("local.ostrel.ShellWindows");

    explicit GnomeShellWindows(QDBusConnection bus = QDBusConnection::sessionBus(),
                               int timeoutMs = 100);
    std::optional<std::vector<CompositorWindow>> windows() override;
    std::optional<QPoint> pointer() override;

  private:
    QDBusConnection bus_;
    int timeoutMs_;
    RecentPointer pointer_;
};

// Whether the session is GNOME's and the extension answers on `bus`.
bool gnomeShellWindowsOffered(const QDBusConnection& bus);

// The windows and the pointer of one report of the extension ({"pointer": [x, y], "windows":
// [{"id", "frame", "content", "pid", "focused"}, …]}, front to back); nothing where the report
// is not one (a pointer that is not one is left out).
struct GnomeShellReport {
    std::vector<CompositorWindow> windows;
    std::optional<QPoint> pointer;
};
std::optional<GnomeShellReport> gnomeShellReportFrom(const QByteArray& json);

}  // namespace tessal
