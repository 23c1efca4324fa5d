#include "QtDesktop.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QUrl>

namespace tessal {

bool QtPasteboard::setPng(const QByteArray& png) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard || png.isEmpty()) return false;
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/png"), png);
    clipboard->setMimeData(data, QClipboard::Clipboard);
    return true;
}

namespace {

// The one image/png representation, produced when a pasting application asks for it: until
// the encoder is done, that request waits (on the main thread, where Qt answers the selection).
class PromisedPng final : public QMimeData {
  public:
    explicit PromisedPng(std::shared_future<QByteArray> png) : png_(std::move(png)) {}
    QStringList formats() const override { return {QStringLiteral("image/png")}; }
    bool hasFormat(const QString& type) const override {
        return type == QLatin1String("image/png");
    }

  protected:
    QVariant retrieveData(const QString& type, QMetaType) const override {
        if (type != QLatin1String("image/png")) return {};
        return png_.get();
    }

  private:
    std::shared_future<QByteArray> png_;
};

}  // namespace

std::uint64_t QtPasteboard::offerPng(std::shared_future<QByteArray> png) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard || !png.valid()) return 0;
    auto* data = new PromisedPng(std::move(png));
    ++offers_;
    offered_ = data;
    clipboard->setMimeData(data, QClipboard::Clipboard);
    return offers_;
}

void QtPasteboard::withdrawPng(std::uint64_t offer) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard && offered_ && offer == offers_ &&
        clipboard->mimeData(QClipboard::Clipboard) == offered_)
        clipboard->clear(QClipboard::Clipboard);
}

bool QtPasteboard::setText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setText(text, QClipboard::Clipboard);
    return true;
}

void DesktopWorkspace::revealFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    QStringList uris;
    for (const QString& path : paths) uris << QUrl::fromLocalFile(path).toString();
    QDBusInterface fileManager(QStringLiteral("org.freedesktop.FileManager1"),
                               QStringLiteral("/org/freedesktop/FileManager1"),
                               QStringLiteral("org.freedesktop.FileManager1"),
                               QDBusConnection::sessionBus());
    fileManager.setTimeout(2000);
    if (fileManager.isValid() &&
        fileManager.call(QStringLiteral("ShowItems"), uris, QString()).type() ==
            QDBusMessage::ReplyMessage)
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(paths.first()).absolutePath()));
}

bool DesktopWorkspace::openAddress(const QString& address) {
    const QUrl url(address);
    return url.isValid() && QDesktopServices::openUrl(url);
}

std::optional<QString> DesktopWorkspace::notify(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return QStringLiteral("there is no session bus");
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (the
    // server's default).
    call << QStringLiteral("Tessal") << 0u << QStringLiteral("local.ostrel") << summary << body
         << QStringList() << QVariantMap() << -1;
    // A server started on demand by the bus may take a moment; a later start of the program
    // waits for this answer.
    const QDBusMessage reply = bus.call(call, QDBus::Block, 1500);
    if (reply.type() == QDBusMessage::ReplyMessage) return std::nullopt;
    if (reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"))
        return QStringLiteral("no notification service (org.freedesktop.Notifications) is running");
    return QStringLiteral("the notification service failed: ") + reply.errorMessage();
}

bool DesktopWorkspace::openAccessibilitySettings() {
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toUpper();
    if (desktop.contains("GNOME") || desktop.contains("UNITY") || desktop.contains("BUDGIE"))
        return QProcess::startDetached("gnome-control-center", {"universal-access"});
    if (desktop.contains("KDE")) return QProcess::startDetached("systemsettings", {"kcm_access"});
    if (desktop.contains("MATE")) return QProcess::startDetached("mate-at-properties", {});
    return false;
}

}  // namespace tessal
