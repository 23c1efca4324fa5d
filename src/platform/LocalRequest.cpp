#include "LocalRequest.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace tessal::LocalPeer {

bool runsAs(int socketDescriptor, unsigned uid) {
    struct ucred peer {};
    socklen_t length = sizeof peer;
    return socketDescriptor >= 0 &&
           getsockopt(socketDescriptor, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           length == sizeof peer && peer.uid == uid;
}

bool isSameUser(int socketDescriptor) {
    return runsAs(socketDescriptor, getuid());
}

bool isPrivateFolder(const char* path) {
    struct stat info;
    return path && *path && lstat(path, &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == getuid() && (info.st_mode & 077) == 0;
}

namespace {

// Waits until `fd` is ready for `events` or `deadline` passes; false on the deadline or an error.
bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, events, 0};
        const int n = poll(&p, 1, int(left.count()));
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
}

}  // namespace

std::optional<std::string> askListener(const std::string& socketPath, const std::string& request,
                                       int timeoutMs) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    using Clock = std::chrono::steady_clock;
    const auto sendDeadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // A local connection is made at once or refused (EAGAIN: a backlog full of callers, as
    // good as no answer).
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return std::nullopt;
    // Requests name files and start captures: only for a listener of this user.
    if (!isSameUser(fd)) return std::nullopt;
    const std::string line = request + '\n';
    for (std::size_t written = 0; written < line.size();) {
        const ssize_t n = send(fd, line.data() + written, line.size() - written, MSG_NOSIGNAL);
        if (n > 0) {
            written += std::size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return std::nullopt;
        if (!waitFor(fd, POLLOUT, sendDeadline)) return std::nullopt;
    }
    // The answer tells us the request was read, not merely buffered. A live instance answers at
    // once, or after a desktop notification (bounded by the bus call's own timeout).
    const auto answerDeadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 3000));
    std::string answer;
    for (;;) {
        char buffer[256];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            answer.append(buffer, std::size_t(n));
            if (const auto end = answer.find('\n'); end != std::string::npos) {
                answer.resize(end);
                return answer;
            }
            if (answer.size() > 64 * 1024) return std::nullopt;
            continue;
        }
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) return std::nullopt;
        if (!waitFor(fd, POLLIN, answerDeadline)) return std::nullopt;
    }
}

}  // namespace tessal::LocalPeer
