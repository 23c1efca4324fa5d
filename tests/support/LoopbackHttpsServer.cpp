#include "LoopbackHttpsServer.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslServer>
#include <QSslSocket>
#include <memory>

namespace tessal::test {

namespace {

bool openssl(const QStringList& arguments, const QString& directory) {
    QProcess process;
    process.setWorkingDirectory(directory);
    process.start(QStringLiteral("openssl"), arguments);
    return process.waitForFinished(30'000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QByteArray reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        default:
            return "Status";
    }
}

}  // namespace

LoopbackHttpsServer::LoopbackHttpsServer(const QString& directory) {
    QFile extensions(directory + QStringLiteral("/leaf.ext"));
    if (extensions.open(QIODevice::WriteOnly))
        extensions.write("subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1\n");
    extensions.close();
    const bool made =
        openssl(
            {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
             "-keyout", "ca.key", "-out", "ca.pem", "-days", "2", "-subj", "/CN=Tessal test CA"},
            directory) &&
        openssl({"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                 "-keyout", "leaf.key", "-out", "leaf.csr", "-subj", "/CN=localhost"},
                directory) &&
        openssl({"x509", "-req", "-in", "leaf.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                 "-CAcreateserial", "-out", "leaf.pem", "-days", "2", "-extfile", "leaf.ext"},
                directory);
    if (!made) {
        error_ = QStringLiteral("openssl could not make the test certificates");
        return;
    }
    const auto read = [&](const char* name) {
        QFile file(directory + QLatin1Char('/') + QLatin1String(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    certificate_ = QSslCertificate(read("leaf.pem"));
    key_ = QSslKey(read("leaf.key"), QSsl::Ec);
    QSslConfiguration trusted = QSslConfiguration::defaultConfiguration();
    trusted.addCaCertificates(QSslCertificate::fromData(read("ca.pem")));
    QSslConfiguration::setDefaultConfiguration(trusted);
}

LoopbackHttpsServer::~LoopbackHttpsServer() = default;

bool LoopbackHttpsServer::listen(quint16 port) {
    if (!error_.isEmpty()) return false;
    server_ = new QSslServer(this);
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate_);
    configuration.setPrivateKey(key_);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    server_->setSslConfiguration(configuration);
    connect(server_, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (server_->hasPendingConnections())
            serve(static_cast<QSslSocket*>(server_->nextPendingConnection()));
    });
    if (!server_->listen(QHostAddress::Any, port)) {
        error_ = server_->errorString();
        return false;
    }
    return true;
}

void LoopbackHttpsServer::serve(QSslSocket* socket) {
    auto request = std::make_shared<QByteArray>();
    connect(socket, &QSslSocket::readyRead, socket, [this, socket, request] {
        *request += socket->readAll();
        const qsizetype end = request->indexOf("\r\n\r\n");
        if (end < 0) return;
        const QList<QByteArray> line = request->left(request->indexOf("\r\n")).split(' ');
        disconnect(socket, &QSslSocket::readyRead, socket, nullptr);
        respond(socket, QString::fromLatin1(line.value(1)));
    });
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
}

void LoopbackHttpsServer::respond(QSslSocket* socket, const QString& path) {
    requests_[path] += 1;
    const Answer answer = answers_.value(path, Answer{404, "not here", {}, {}, -1});
    auto file = std::make_shared<QFile>(answer.file);
    qint64 length = answer.body.size();
    if (!answer.file.isEmpty()) {
        if (!file->open(QIODevice::ReadOnly)) return socket->disconnectFromHost();
        length = file->size();
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' +
                      reason(answer.status) + "\r\nContent-Length: " + QByteArray::number(length) +
                      "\r\nConnection: close\r\n";
    if (!answer.location.isEmpty()) head += "Location: " + answer.location + "\r\n";
    socket->write(head + "\r\n");
    const qint64 limit = answer.truncateAt >= 0 ? answer.truncateAt : length;
    if (answer.file.isEmpty()) {
        socket->write(answer.body.left(limit));
        socket->disconnectFromHost();
        return;
    }
    // Streams the file a slice at a time, as the client takes it.
    auto sent = std::make_shared<qint64>(0);
    auto pump = [socket, file, sent, limit] {
        if (socket->state() != QAbstractSocket::ConnectedState) return;
        while (socket->encryptedBytesToWrite() + socket->bytesToWrite() < (1 << 20)) {
            if (*sent >= limit) {
                socket->disconnectFromHost();
                return;
            }
            const QByteArray chunk = file->read(std::min<qint64>(256 << 10, limit - *sent));
            if (chunk.isEmpty()) return socket->disconnectFromHost();
            *sent += chunk.size();
            socket->write(chunk);
        }
    };
    connect(socket, &QSslSocket::encryptedBytesWritten, socket, pump);
    pump();
}

AppRelease releaseOf(const UpdateConfiguration& configuration, const QString& archive,
                     const QString& version) {
    AppRelease release;
    release.version = version;
    release.downloadURL = configuration.downloadUrl(version);
    release.notes = QStringLiteral("新版本");
    release.minimumSystemVersion = QStringLiteral("2.0.0");
    release.architecture = configuration.architecture;
    QFile file(archive);
    if (file.open(QIODevice::ReadOnly)) {
        release.size = file.size();
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(&file);
        release.sha256 = QString::fromLatin1(hash.result().toHex());
    }
    return release;
}

}  // namespace tessal::test
