#include "SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <algorithm>
#include <chrono>

#include "platform/LocalPeer.h"

namespace tessal {

QString SingleInstance::socketPath() {
    const QString folder = LocalPeer::privateFolder(QStringLiteral("local.ostrel"));
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/local.ostrel.sock");
}

bool SingleInstance::send(const QString& request, int timeoutMs) {
    const std::optional<QString> answer = ask(request, timeoutMs);
    return answer && (*answer == QStringLiteral("ok") || answer->startsWith(QStringLiteral("ok ")));
}

std::optional<QString> SingleInstance::ask(const QString& request, int timeoutMs) {
    const QString path = socketPath();
    if (path.isEmpty()) return std::nullopt;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs)) return std::nullopt;
    // Requests name files and start captures: only for an instance of this user.
    if (!LocalPeer::isSameUser(int(socket.socketDescriptor()))) return std::nullopt;
    socket.write(request.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) return std::nullopt;
    // The answer tells us the request was read, not merely buffered. A live instance answers at
    // once, or after a desktop notification (bounded by the bus call's own timeout).
    constexpr int answerTimeoutMs = 3000;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(std::max(timeoutMs, answerTimeoutMs))) return std::nullopt;
    return QString::fromUtf8(socket.readLine()).trimmed();
}

QString SingleInstance::lockPath() {
    const QString socket = socketPath();
    return socket.isEmpty() ? QString() : socket + QStringLiteral(".lock");
}

bool SingleInstance::acquire() {
    if (lockPath().isEmpty()) return false;
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Only a dead owner makes a lock stale, never its age: the running instance holds it for
    // days.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return true;
    lock_.reset();
    return false;
}

bool SingleInstance::handOver(const QString& request, double seconds) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    if (socketPath().isEmpty()) return false;
    do {
        if (send(request, 500)) return true;
        QThread::msleep(50);
    } while (Clock::now() < end);
    return false;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString path = socketPath();
    if (path.isEmpty()) return false;
    if (!server_->listen(path)) {
        // We hold the lock, so no other instance can be listening: the socket is left from a
        // crash.
        QLocalServer::removeServer(path);
        if (!server_->listen(path)) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            if (!LocalPeer::isSameUser(int(socket->socketDescriptor()))) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) return;
                const QString request = QString::fromUtf8(socket->readLine()).trimmed();
                const QString answer = onRequest ? onRequest(request) : QStringLiteral("ok");
                socket->write(answer.toUtf8() + '\n');
                socket->flush();
            });
        }
    });
    return true;
}

}  // namespace tessal
