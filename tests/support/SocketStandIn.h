#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <functional>
#include <thread>

namespace tessal {

// A Unix socket of the test's standing in for a compositor's IPC: answers `connections`
// connections (every one, when negative), one request each, as `answer` decides.
class SocketStandIn {
  public:
    explicit SocketStandIn(std::function<void(int fd, const QByteArray& request)> answer,
                           int connections = 1) {
        path_ = dir_.filePath("ipc.sock");
        listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.toUtf8().constData(), sizeof address.sun_path - 1);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 8);
        thread_ = std::thread([this, answer = std::move(answer), connections] {
            for (int i = 0; connections < 0 || i < connections; ++i) {
                const int fd = accept(listener_, nullptr, nullptr);
                if (fd < 0) return;
                char request[1024];
                const ssize_t n = read(fd, request, sizeof request);
                answer(fd, QByteArray(request, int(std::max<ssize_t>(n, 0))));
                close(fd);
            }
        });
    }
    SocketStandIn(const SocketStandIn&) = delete;
    SocketStandIn& operator=(const SocketStandIn&) = delete;
    ~SocketStandIn() {
        shutdown(listener_, SHUT_RDWR);
        thread_.join();
        close(listener_);
    }
    QString path() const { return path_; }

  private:
    QTemporaryDir dir_;
    QString path_;
    int listener_ = -1;
    std::thread thread_;
};

}  // namespace tessal
