#include "StillDelivery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>
#include <chrono>
#include <cmath>

namespace tessal {

namespace {

const QString kVerb = QStringLiteral("still ");

QString number(double v) {
    return QString::number(v, 'g', 17);
}

}  // namespace

QString StillDelivery::request() const {
    QStringList uses;
    if (clipboard) uses << QStringLiteral("clipboard");
    if (pin) uses << QStringLiteral("pin");
    if (edit) uses << QStringLiteral("edit");
    return kVerb + uses.join(QLatin1Char(',')) + QLatin1Char(' ') +
           QStringList{number(frame.minX()), number(frame.minY()), number(frame.width()),
                       number(frame.height())}
               .join(QLatin1Char(',')) +
           QLatin1Char(' ') + path;
}

std::optional<StillDelivery> StillDelivery::parse(const QString& request, const QString& folder) {
    if (!request.startsWith(kVerb)) return std::nullopt;
    const QStringList parts = request.mid(kVerb.size()).split(QLatin1Char(' '));
    if (parts.size() < 3) return std::nullopt;
    StillDelivery d;
    for (const QString& use : parts[0].split(QLatin1Char(','))) {
        if (use == QStringLiteral("clipboard"))
            d.clipboard = true;
        else if (use == QStringLiteral("pin"))
            d.pin = true;
        else if (use == QStringLiteral("edit"))
            d.edit = true;
        else
            return std::nullopt;
    }
    const QStringList values = parts[1].split(QLatin1Char(','));
    if (values.size() != 4) return std::nullopt;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = values[i].toDouble(&ok);
        if (!ok || !std::isfinite(v[i])) return std::nullopt;
    }
    if (v[2] <= 0 || v[3] <= 0) return std::nullopt;
    d.frame = Rect(v[0], v[1], v[2], v[3]);
    // The receiver removes the file: only one of ours, in the private folder, is accepted.
    d.path = parts.mid(2).join(QLatin1Char(' '));
    const QFileInfo file(d.path);
    if (folder.isEmpty() || !file.isAbsolute() ||
        QDir::cleanPath(file.absolutePath()) != QDir::cleanPath(folder) ||
        !file.fileName().startsWith(QStringLiteral("local.ostrel-still-")))
        return std::nullopt;
    return d;
}

QString receiveStill(const StillDelivery& delivery, const StillReceiver& receiver) {
    QFile file(delivery.path);
    QByteArray png;
    if (file.open(QIODevice::ReadOnly)) png = file.readAll();
    file.remove();
    const QImage image = QImage::fromData(png, "PNG");
    auto failed = [](const QString& reason) { return QStringLiteral("failed ") + reason; };
    if (image.isNull())
        return failed(QCoreApplication::translate("StillDelivery", "收到的截图无法读取"));
    if (delivery.clipboard && !(receiver.setClipboard && receiver.setClipboard(png)))
        return failed(QCoreApplication::translate("StillDelivery", "无法把截图放到剪贴板上"));
    if (delivery.pin && !(receiver.pin && receiver.pin(EncodedImage{png, image}, delivery.frame)))
        return failed(QCoreApplication::translate("StillDelivery", "无法贴图"));
    if (delivery.edit && receiver.edit) receiver.edit(image);
    return QStringLiteral("ok");
}

std::optional<QString> deliverStill(
    const QByteArray& png, StillDelivery delivery, const QString& folder,
    const std::function<std::optional<QString>(const QString&)>& ask,
    const std::function<bool()>& start, double seconds) {
    const QString noTessal =
        QCoreApplication::translate("StillDelivery", "没有运行中的 Tessal 接收截图，也无法启动它");
    if (folder.isEmpty()) return noTessal;
    QTemporaryFile file(folder + QStringLiteral("/local.ostrel-still-XXXXXX.png"));
    if (!file.open() || file.write(png) != png.size() || !file.flush())
        return QCoreApplication::translate("StillDelivery", "无法写入临时文件：%1")
            .arg(file.errorString());
    delivery.path = file.fileName();
    file.close();
    std::optional<QString> answer = ask(delivery.request());
    if (!answer && start && start()) {
        using Clock = std::chrono::steady_clock;
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (!answer && Clock::now() < end) {
            QThread::msleep(50);
            answer = ask(delivery.request());
        }
    }
    // Taken or not, the file has done its work: the receiver has read it (and removed it).
    if (!answer) return noTessal;
    if (*answer == QStringLiteral("ok")) {
        file.setAutoRemove(false);
        return std::nullopt;
    }
    return answer->startsWith(QStringLiteral("failed ")) ? answer->mid(7) : *answer;
}

}  // namespace tessal
