#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>

#include "services/AppRelease.h"
#include "services/UpdateConfiguration.h"

class QSslServer;
class QSslSocket;

namespace tessal::test {

// An HTTPS server on the loopback for update tests: a throw-away CA that the process trusts,
// a certificate for "localhost", and canned answers per path. File bodies are streamed from
// disk, so large downloads do not sit in memory.
class LoopbackHttpsServer final : public QObject {
  public:
    struct Answer {
        int status = 200;
        QByteArray body;
        QString file;            // streamed instead of `body` when set
        QByteArray location;     // a redirect target
        qint64 truncateAt = -1;  // closes the connection after this many body bytes
    };

    // Creates the certificates in `directory` and trusts the CA for this process's TLS.
    explicit LoopbackHttpsServer(const QString& directory);
    ~LoopbackHttpsServer() override;

    // False (with `error()`) when the port cannot be taken.
    bool listen(quint16 port);
    QString error() const { return error_; }
    void answer(const QString& path, Answer answer) { answers_[path] = std::move(answer); }
    int requests(const QString& path) const { return requests_.value(path); }

  private:
    void serve(QSslSocket* socket);
    void respond(QSslSocket* socket, const QString& path);

    QSslServer* server_ = nullptr;
    QSslCertificate certificate_;
    QSslKey key_;
    QMap<QString, Answer> answers_;
    QMap<QString, int> requests_;
    QString error_;
};

// The release of `version` whose download is `archive`, as a feed would announce it.
AppRelease releaseOf(const UpdateConfiguration& configuration, const QString& archive,
                     const QString& version = QStringLiteral("0.7.2"));

}  // namespace tessal::test
