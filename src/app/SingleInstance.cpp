#include "SingleInstance.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <algorithm>
#include <chrono>

#include "platform/LocalPeer.h"

namespace tessal {

QString SingleInstance::socketPath() {
    const QString folder = LocalPeer::privateFolder(QStringLiteral("local.ostrel"));
    return folder.isEmpty()
               ? QString()
               : folder + QLatin1Char('/') + QLatin1String(LocalPeer::requestSocketName);
}

bool SingleInstance::send(const QString& request, int timeoutMs) {
    const std::optional<QString> answer = ask(request, timeoutMs);
    return answer && (*answer == QStringLiteral("ok") || answer->startsWith(QStringLiteral("ok ")));
}

std::optional<QString> SingleInstance::ask(const QString& request, int timeoutMs, bool* delivered) {
    if (delivered) *delivered = false;
    const QString path = socketPath();
    if (path.isEmpty()) return std::nullopt;
    const std::optional<std::string> answer =
        LocalPeer::askListener(QFile::encodeName(path).toStdString(),
                               request.toUtf8().toStdString(), timeoutMs, delivered);
    if (!answer) return std::nullopt;
    return QString::fromUtf8(QByteArray::fromStdString(*answer)).trimmed();
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

std::optional<QString> SingleInstance::handOver(const QString& request, double seconds,
                                                bool* delivered) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    bool sent = false;
    if (delivered) *delivered = false;
    if (socketPath().isEmpty()) return std::nullopt;
    do {
        std::optional<QString> answer = ask(request, 500, &sent);
        if (answer || sent) {
            if (delivered) *delivered = sent;
            return answer;
        }
        QThread::msleep(50);
    } while (Clock::now() < end);
    return std::nullopt;
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
