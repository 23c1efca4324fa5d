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
#include <functional>

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

std::optional<std::string> exchangeOnSocket(const std::string& path, const std::string& request,
                                            const std::function<bool(const std::string&)>& complete,
                                            int timeoutMs, std::size_t maximumBytes,
                                            bool sameUserOnly, bool* delivered) {
    if (delivered) *delivered = false;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
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

    // A local connection is made at once or refused (EAGAIN: a backlog full of callers, as good
    // as no answer).
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return std::nullopt;
    if (sameUserOnly && !isSameUser(fd)) return std::nullopt;
    for (std::size_t sent = 0; sent < request.size();) {
        const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += std::size_t(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!wait(POLLOUT)) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (delivered) *delivered = true;
    std::string reply;
    char buffer[65536];
    while (!complete(reply)) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            if (reply.size() + std::size_t(n) > maximumBytes) return std::nullopt;
            reply.append(buffer, std::size_t(n));
        } else if (n == 0) {
            return reply;  // the other end ends its answer by closing
        } else if (errno == EAGAIN || errno == EINTR) {
            if (!wait(POLLIN)) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    return reply;
}

std::optional<std::string> askListener(const std::string& socketPath, const std::string& request,
                                       int timeoutMs, bool* delivered) {
    // The answer tells us the request was read, not merely buffered. A live instance answers at
    // once, or after a desktop notification (bounded by the bus call's own timeout).
    std::optional<std::string> answer = exchangeOnSocket(
        socketPath, request + '\n',
        [](const std::string& reply) { return reply.find('\n') != std::string::npos; },
        std::max(timeoutMs, 3000), 64 * 1024, true, delivered);
    if (!answer) return std::nullopt;
    const auto end = answer->find('\n');
    if (end == std::string::npos) {
        // Hung up without a whole line: a listener going away, which did not act on it.
        if (delivered) *delivered = false;
        return std::nullopt;
    }
    answer->resize(end);
    return answer;
}

}  // namespace tessal::LocalPeer
