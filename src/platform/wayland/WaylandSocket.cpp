#include "WaylandSocket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QString>
#include <cstring>

namespace tessal {

int connectWaylandSocket() {
    QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (name.isEmpty()) return -1;
    if (!name.startsWith(QLatin1Char('/')))
        name = qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + name;
    const QByteArray path = name.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= int(sizeof address.sun_path)) return -1;
    std::memcpy(address.sun_path, path.constData(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int compositorPid() {
    const int fd = connectWaylandSocket();
    if (fd < 0) return 0;
    ucred credentials{};
    socklen_t length = sizeof credentials;
    const bool ok = getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0;
    close(fd);
    return ok ? int(credentials.pid) : 0;
}

}  // namespace tessal
