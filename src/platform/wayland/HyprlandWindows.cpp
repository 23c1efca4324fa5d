#include "HyprlandWindows.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <chrono>

namespace tessal {
namespace {

std::optional<QJsonArray> jsonList(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) return std::nullopt;
    return document.array();
}

std::optional<QPoint> pair(const QJsonValue& value) {
    const QJsonArray a = value.toArray();
    if (a.size() != 2 || !a[0].isDouble() || !a[1].isDouble()) return std::nullopt;
    return QPoint(a[0].toInt(), a[1].toInt());
}

}  // namespace

std::optional<std::vector<CompositorWindow>> hyprlandWindowsFrom(const QByteArray& clients,
                                                                 const QByteArray& monitors,
                                                                 int borderSize) {
    const auto clientList = jsonList(clients);
    const auto monitorList = jsonList(monitors);
    if (!clientList || !monitorList) return std::nullopt;
    QSet<int> shownWorkspaces;
    for (const QJsonValue& m : *monitorList) {
        const QJsonObject monitor = m.toObject();
        shownWorkspaces << monitor.value("activeWorkspace").toObject().value("id").toInt(0);
        // An open special workspace lies over the monitor's own (negative ids; 0 when closed).
        const int special = monitor.value("specialWorkspace").toObject().value("id").toInt(0);
        if (special != 0) shownWorkspaces << special;
    }
    shownWorkspaces.remove(0);
    const int border = std::clamp(borderSize, 0, 100);

    struct Ranked {
        int group;    // 0 fullscreen, 1 floating, 2 tiled
        int recency;  // 0: focused last
        CompositorWindow window;
    };
    std::vector<Ranked> ranked;
    for (const QJsonValue& c : *clientList) {
        const QJsonObject client = c.toObject();
        if (!client.value("mapped").toBool() || client.value("hidden").toBool()) continue;
        const int workspace = client.value("workspace").toObject().value("id").toInt(0);
        if (!client.value("pinned").toBool() && !shownWorkspaces.contains(workspace)) continue;
        const std::optional<QPoint> at = pair(client.value("at"));
        const std::optional<QPoint> size = pair(client.value("size"));
        if (!at || !size) continue;
        const QRect content(*at, QSize(size->x(), size->y()));
        if (content.isEmpty()) continue;
        CompositorWindow w;
        // "0x55d0c3a1b2c0": the window's address, stable while it lives.
        w.id = unsigned(client.value("address").toString().toULongLong(nullptr, 16));
        w.content = content;
        const QJsonValue fullscreenValue = client.value("fullscreen");
        const bool fullscreen =
            fullscreenValue.isBool() ? fullscreenValue.toBool() : fullscreenValue.toInt() != 0;
        w.frame = fullscreen ? content : content.adjusted(-border, -border, border, border);
        w.pid = std::max(0, client.value("pid").toInt());
        const int recency = client.value("focusHistoryID").toInt(1 << 20);
        w.focused = recency == 0;
        const int group = fullscreen ? 0 : client.value("floating").toBool() ? 1 : 2;
        ranked.push_back({group, recency, w});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        return a.group != b.group ? a.group < b.group : a.recency < b.recency;
    });
    std::vector<CompositorWindow> windows;
    for (const Ranked& r : ranked) windows.push_back(r.window);
    return windows;
}

std::optional<QPoint> hyprlandPointerFrom(const QByteArray& reply) {
    const QJsonObject place = QJsonDocument::fromJson(reply).object();
    return compositorPoint(QJsonArray{place.value("x"), place.value("y")});
}

HyprlandWindows::HyprlandWindows(QString socketPath, int timeoutMs)
    : socketPath_(std::move(socketPath)), timeoutMs_(timeoutMs) {}

QString HyprlandWindows::socketPath(const QString& signature) {
    if (signature.isEmpty() || signature.contains('/') || signature.startsWith('.')) return {};
    QStringList bases;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) bases << runtime + QStringLiteral("/hypr/");
    bases << QStringLiteral("/tmp/hypr/");
    for (const QString& base : bases) {
        const QString path = base + signature + QStringLiteral("/.socket.sock");
        if (QFileInfo(path).exists()) return path;
    }
    return {};
}

namespace {

// Requests on the socket within one time box from now; the socket answers one request per
// connection and closes it when done.
auto asker(const QString& socketPath, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    return [socketPath, deadline](const QByteArray& request) -> std::optional<QByteArray> {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return std::nullopt;
        return exchangeOnSocket(
            socketPath, request, [](const QByteArray&) { return false; }, int(left));
    };
}

}  // namespace

std::optional<QPoint> HyprlandWindows::pointer() {
    const auto reply = asker(socketPath_, timeoutMs_)("j/cursorpos");
    return reply ? hyprlandPointerFrom(*reply) : std::nullopt;
}

std::optional<std::vector<CompositorWindow>> HyprlandWindows::windows() {
    const auto ask = asker(socketPath_, timeoutMs_);
    const auto clients = ask("j/clients");
    const auto monitors = clients ? ask("j/monitors") : std::nullopt;
    if (!clients || !monitors) return std::nullopt;
    int border = 0;
    if (const auto option = ask("j/getoption general:border_size")) {
        const QJsonObject o = QJsonDocument::fromJson(*option).object();
        border = o.value("int").toInt(0);
    }
    return hyprlandWindowsFrom(*clients, *monitors, border);
}

}  // namespace tessal
