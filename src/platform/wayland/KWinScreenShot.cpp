#include "KWinScreenShot.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "KWinWindows.h"

namespace tessal {

namespace {

const QString screenShotDomain = QStringLiteral("Ostrel");
constexpr qint64 largestPicture = qint64(1) << 30;

// One of KWin's error names for a caller it does not trust.
bool isRefusal(const QString& errorName) {
    return errorName.endsWith(QLatin1String(".NoAuthorized")) ||
           errorName.endsWith(QLatin1String(".NotAuthorized")) ||
           errorName == QLatin1String("org.freedesktop.DBus.Error.AccessDenied");
}

UserError unreadable() {
    return UserError{
        screenShotDomain, 3,
        QCoreApplication::translate("WaylandScreenCapture", "合成器交出的画面与显示器不符。")};
}

}  // namespace

const QString KWinScreenShot::service = QStringLiteral("org.kde.KWin.ScreenShot2");

KWinScreenShot::KWinScreenShot(QDBusConnection bus, int timeoutMs)
    : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

bool KWinScreenShot::available(const QDBusConnection& bus) {
    return kwinOffers(bus, service);
}

QImage kwinRawImage(const QVariantMap& results, const QByteArray& bytes) {
    if (results.value(QStringLiteral("type")).toString() != QLatin1String("raw")) return {};
    bool ok[4] = {};
    const qint64 width = results.value(QStringLiteral("width")).toLongLong(&ok[0]);
    const qint64 height = results.value(QStringLiteral("height")).toLongLong(&ok[1]);
    const qint64 stride = results.value(QStringLiteral("stride")).toLongLong(&ok[2]);
    const qint64 format = results.value(QStringLiteral("format")).toLongLong(&ok[3]);
    if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || width <= 0 || height <= 0 || width > 32768 ||
        height > 32768 || format <= QImage::Format_Invalid || format >= QImage::NImageFormats)
        return {};
    const auto qtFormat = QImage::Format(format);
    // Palette formats would need a colour table the answer does not carry.
    const int bits = QImage::toPixelFormat(qtFormat).bitsPerPixel();
    if (bits < 16 || bits % 8 != 0) return {};
    const qint64 row = width * (bits / 8);
    if (stride < row || stride > largestPicture / height || bytes.size() != stride * height)
        return {};
    QImage image(int(width), int(height), qtFormat);
    if (image.isNull()) return {};
    for (qint64 y = 0; y < height; ++y)
        std::memcpy(image.scanLine(int(y)), bytes.constData() + y * stride, std::size_t(row));
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

Result<QImage> KWinScreenShot::captureScreen(const QString& name, bool pointer, bool* refused) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_);
    if (refused) *refused = false;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return unreadable();
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } reading{ends[0]};
    QDBusMessage reply;
    {
        // The message holds a copy of the writing end; KWin's copy alone must be left for the
        // end of the data to show.
        const QDBusUnixFileDescriptor writing(ends[1]);
        close(ends[1]);
        QDBusMessage call =
            QDBusMessage::createMethodCall(service, QStringLiteral("/org/kde/KWin/ScreenShot2"),
                                           service, QStringLiteral("CaptureScreen"));
        call << name
             << QVariantMap{{QStringLiteral("native-resolution"), true},
                            {QStringLiteral("include-cursor"), pointer}}
             << QVariant::fromValue(writing);
        reply = bus_.call(call, QDBus::Block, timeoutMs_);
    }
    if (reply.type() != QDBusMessage::ReplyMessage) {
        if (refused) *refused = isRefusal(reply.errorName());
        return UserError{
            screenShotDomain, 4,
            QCoreApplication::translate("WaylandScreenCapture", "KWin 没有交出屏幕画面：%1")
                .arg(reply.errorMessage())};
    }
    const QVariantMap results = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    const qint64 announced = results.value(QStringLiteral("stride")).toLongLong() *
                             results.value(QStringLiteral("height")).toLongLong();
    if (announced <= 0 || announced > largestPicture) return unreadable();
    QByteArray bytes;
    bytes.reserve(qsizetype(announced));
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(reading.fd, buffer, sizeof buffer);
        if (n > 0) {
            if (bytes.size() + n > announced) return unreadable();
            bytes.append(buffer, n);
            continue;
        }
        if (n == 0) break;
        if (errno == EINTR) continue;
        if (errno != EAGAIN) return unreadable();
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{reading.fd, POLLIN, 0};
        if (left <= 0 || (poll(&p, 1, int(left)) < 0 && errno != EINTR)) return unreadable();
    }
    QImage image = kwinRawImage(results, bytes);
    if (image.isNull()) return unreadable();
    return image;
}

}  // namespace tessal
