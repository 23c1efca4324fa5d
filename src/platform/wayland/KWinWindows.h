#pragma once

#include <QDBusConnection>

#include "CompositorWindows.h"

namespace tessal {

// KWin (Plasma 5 and 6): a script of ours, loaded through org.kde.KWin's /Scripting, reports
// the windows back to an object of ours on the session bus; the script is unloaded and its file
// removed after each query.
class KWinWindows final : public CompositorWindows {
  public:
    explicit KWinWindows(QDBusConnection bus = QDBusConnection::sessionBus(), int timeoutMs = 100);
    std::optional<std::vector<CompositorWindow>> windows() override;
    // Where the last report, or a new one, says the pointer is.
    std::optional<QPoint> pointer() override;

    static const QString service;

  private:
    QDBusConnection bus_;
    int timeoutMs_;
    RecentPointer pointer_;
};

// Whether the environment names a Plasma session and `service` (one of KWin's) is on `bus`.
bool kwinOffers(const QDBusConnection& bus, const QString& service);

// The script that reports to `path` (interface local.ostrel.KWinWindows, method report, one
// JSON string) on `busName`.
QByteArray kwinWindowsScript(const QString& busName, const QString& path);

// Where a report says the pointer is (layout points); nothing when it does not say.
std::optional<QPoint> kwinPointerFromReport(const QByteArray& json);

// The windows a report shows now (the current desktop and activity, not minimised), front to
// back. Nothing when the report is not one.
std::optional<std::vector<CompositorWindow>> kwinWindowsFromReport(const QByteArray& json);

}  // namespace tessal
