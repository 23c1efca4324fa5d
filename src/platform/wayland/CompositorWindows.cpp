#include "CompositorWindows.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <QVariantMap>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "HyprlandWindows.h"
#include "KWinWindows.h"
#include "SwayWindows.h"
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
    return nullptr;
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
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || std::size_t(name.size()) >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};

    // Waits until the socket is ready for `events`; false at the deadline or on an error.
    auto wait = [&](short events) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd p{fd, events, 0};
        int n;
        do n = poll(&p, 1, int(left));
        while (n < 0 && errno == EINTR);
        return n > 0 && (p.revents & (events | POLLHUP)) != 0;
    };

    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN) return std::nullopt;
        if (!wait(POLLOUT)) return std::nullopt;
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
            return std::nullopt;
    }
    qsizetype sent = 0;
    while (sent < request.size()) {
        const ssize_t n =
            send(fd, request.constData() + sent, std::size_t(request.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!wait(POLLOUT)) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    QByteArray reply;
    char buffer[65536];
    while (!complete(reply)) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            if (reply.size() + n > maximumBytes) return std::nullopt;
            reply.append(buffer, n);
        } else if (n == 0) {
            return reply;  // the compositor ends its answer by closing
        } else if (errno == EAGAIN || errno == EINTR) {
            if (!wait(POLLIN)) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    return reply;
}

}  // namespace tessal
