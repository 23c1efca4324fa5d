#include "CompositorWindows.h"

#include <QFile>
#include <QJsonArray>
#include <QVariantMap>
#include <algorithm>
#include <cmath>
#include <string>

#include "GnomeShellWindows.h"
#include "HyprlandWindows.h"
#include "KWinWindows.h"
#include "SwayWindows.h"
#include "platform/LocalRequest.h"
#include "platform/ScreenCaptureService.h"

namespace tessal {

std::unique_ptr<CompositorWindows> compositorWindowsFromEnvironment(const QDBusConnection& bus) {
    for (const char* name : {"SWAYSOCK", "I3SOCK"}) {
        const QString path = qEnvironmentVariable(name);
        if (!path.isEmpty()) return std::make_unique<SwayWindows>(path);
    }
    const QString hyprland =
        HyprlandWindows::socketPath(qEnvironmentVariable("HYPRLAND_INSTANCE_SIGNATURE"));
    if (!hyprland.isEmpty()) return std::make_unique<HyprlandWindows>(hyprland);
    if (kwinOffers(bus, KWinWindows::service)) return std::make_unique<KWinWindows>(bus);
    if (gnomeShellWindowsOffered(bus)) return std::make_unique<GnomeShellWindows>(bus);
    return nullptr;
}

namespace {

bool isCoordinates(const QJsonArray& a, int count) {
    return a.size() == count && std::all_of(a.begin(), a.end(), [](const QJsonValue& v) {
               return v.isDouble() && std::isfinite(v.toDouble()) && std::abs(v.toDouble()) <= 1e6;
           });
}

}  // namespace

std::optional<QRect> compositorRect(const QJsonValue& value) {
    const QJsonArray a = value.toArray();
    if (!isCoordinates(a, 4)) return std::nullopt;
    const int left = int(std::lround(a[0].toDouble())), top = int(std::lround(a[1].toDouble()));
    const int right = int(std::lround(a[0].toDouble() + a[2].toDouble()));
    const int bottom = int(std::lround(a[1].toDouble() + a[3].toDouble()));
    if (right < left || bottom < top) return std::nullopt;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

std::optional<QPoint> compositorPoint(const QJsonValue& value) {
    const QJsonArray a = value.toArray();
    if (!isCoordinates(a, 2)) return std::nullopt;
    return QPoint(int(std::floor(a[0].toDouble())), int(std::floor(a[1].toDouble())));
}

CompositorWindow reportedWindow(unsigned id, const QRect& frame, const QRect& content,
                                const QJsonValue& pid, bool focused) {
    CompositorWindow w;
    w.id = id;
    w.frame = frame;
    w.content = content.intersected(frame);
    if (w.content.isEmpty()) w.content = frame;
    w.pid = std::max(0, pid.toInt());
    w.focused = focused;
    return w;
}

QVariantList windowListEntries(const std::vector<CompositorWindow>& windows,
                               QPoint primaryTopLeft) {
    auto points = [primaryTopLeft](const QRect& r) {
        return QVariantMap{{"x", r.x() - primaryTopLeft.x()},
                           {"y", r.y() - primaryTopLeft.y()},
                           {"width", r.width()},
                           {"height", r.height()}};
    };
    QVariantList list;
    for (const CompositorWindow& w : windows) {
        QVariantMap entry{{WindowKey::number, w.id},
                          {WindowKey::layer, 0},
                          {WindowKey::bounds, points(w.frame)},
                          {WindowKey::content, points(w.content)}};
        if (w.pid > 0) entry.insert(WindowKey::pid, qlonglong(w.pid));
        if (w.focused) entry.insert(WindowKey::focused, true);
        list << entry;
    }
    return list;
}

std::optional<QByteArray> exchangeOnSocket(const QString& path, const QByteArray& request,
                                           const std::function<bool(const QByteArray&)>& complete,
                                           int timeoutMs, qsizetype maximumBytes) {
    // Found in the session's own folders; the compositor's user is not checked.
    const std::optional<std::string> reply = LocalPeer::exchangeOnSocket(
        QFile::encodeName(path).toStdString(), request.toStdString(),
        [&complete](const std::string& bytes) {
            return complete(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())));
        },
        timeoutMs, std::size_t(std::max<qsizetype>(maximumBytes, 0)), false);
    if (!reply) return std::nullopt;
    return QByteArray::fromStdString(*reply);
}

}  // namespace tessal
