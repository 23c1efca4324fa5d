#include "HttpTransfer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

#include "AppRelease.h"
#include "base/FileErrors.h"

namespace tessal {

namespace {

UserError networkError(QNetworkReply::NetworkError code, const QString& detail) {
    QString text;
    switch (code) {
        case QNetworkReply::OperationCanceledError:
        case QNetworkReply::TimeoutError:
            text = QCoreApplication::translate("HttpTransfer", "连接超时。");
            break;
        case QNetworkReply::HostNotFoundError:
            text = QCoreApplication::translate("HttpTransfer", "找不到更新服务器。");
            break;
        case QNetworkReply::ConnectionRefusedError:
        case QNetworkReply::RemoteHostClosedError:
            text = QCoreApplication::translate("HttpTransfer", "无法连接更新服务器。");
            break;
        case QNetworkReply::SslHandshakeFailedError:
            text = QCoreApplication::translate("HttpTransfer", "无法与更新服务器建立安全连接。");
            break;
        default:
            text = QCoreApplication::translate("HttpTransfer", "网络错误：%1").arg(detail);
    }
    return {UpdateErrors::networkDomain, static_cast<int>(code), text};
}

}  // namespace

UserError HttpTransfer::sinkFailure(const QString& path, qint64 bytes) {
    return {QStringLiteral("tessal.file"), 0,
            QCoreApplication::translate("HttpTransfer", "更新包无法写入磁盘：%1。")
                .arg(writeFailureReason(path, bytes))};
}

void HttpTransfer::start(std::function<void(Outcome)> done) const {
    auto* manager = new QNetworkAccessManager;
    manager->setCache(nullptr);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    if (!accept.isEmpty()) request.setRawHeader("Accept", accept);
    if (idleTimeoutMs > 0) request.setTransferTimeout(idleTimeoutMs);
    QNetworkReply* reply = manager->get(request);
    // Back-pressure: the network thread buffers at most this much ahead of the sink.
    reply->setReadBufferSize(1 << 20);

    struct State {
        Outcome outcome;
        qint64 received = 0;
        bool finished = false;
    };
    auto state = std::make_shared<State>();
    const qint64 limit = bodyLimit;
    QIODevice* out = sink;
    const QString path = sinkPath;
    auto finish = [manager, reply, state, done](std::optional<UserError> error) {
        if (state->finished) return;
        state->finished = true;
        if (error && !state->outcome.error) state->outcome.error = std::move(error);
        state->outcome.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        state->outcome.finalUrl = reply->url();
        reply->disconnect();
        reply->abort();
        reply->deleteLater();
        manager->deleteLater();
        done(std::move(state->outcome));
    };
    auto tooLarge = [state, finish] {
        state->outcome.bodyTooLarge = true;
        finish(std::nullopt);
    };

    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, limit, tooLarge] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (limit >= 0 && length.isValid() && length.toLongLong() > limit) tooLarge();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply,
                     [reply, state, limit, out, path, finish, tooLarge] {
                         const QByteArray chunk = reply->readAll();
                         state->received += chunk.size();
                         if (limit >= 0 && state->received > limit) return tooLarge();
                         if (out) {
                             if (out->write(chunk) != chunk.size()) {
                                 finish(sinkFailure(path, chunk.size()));
                             }
                             return;
                         }
                         state->outcome.body += chunk;
                     });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, finish] {
        // Errors that are only an HTTP status are judged by the caller from the status.
        const int code = reply->error();
        const bool statusOnly = (code >= 201 && code <= 299) || (code >= 401 && code <= 499);
        if (code != QNetworkReply::NoError && !statusOnly)
            finish(networkError(reply->error(), reply->errorString()));
        else
            finish(std::nullopt);
    });
    if (totalTimeoutMs > 0) {
        QTimer::singleShot(totalTimeoutMs, reply,
                           [finish] { finish(networkError(QNetworkReply::TimeoutError, {})); });
    }
}

HttpTransfer::Outcome HttpTransfer::run() const {
    QEventLoop loop;
    Outcome result;
    start([&](Outcome outcome) {
        result = std::move(outcome);
        loop.quit();
    });
    loop.exec();
    return result;
}

}  // namespace tessal
