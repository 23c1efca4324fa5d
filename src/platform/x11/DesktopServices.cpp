#include "DesktopServices.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QUrl>
#include <QWindow>
#include <cstdlib>

#include "X11Connection.h"

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

bool QtWorkspace::openAddress(const QString& address) {
    const QUrl url(address);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool QtWorkspace::openAccessibilitySettings() {
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toUpper();
    if (desktop.contains("GNOME") || desktop.contains("UNITY") || desktop.contains("BUDGIE"))
        return QProcess::startDetached("gnome-control-center", {"universal-access"});
    if (desktop.contains("KDE")) return QProcess::startDetached("systemsettings", {"kcm_access"});
    if (desktop.contains("MATE")) return QProcess::startDetached("mate-at-properties", {});
    return false;
}

bool QtWorkspace::grabInput(QWindow* window) {
    if (!window) return false;
    // The pointer directly, with owner events, so each of our overlays still gets its own
    // clicks while nothing outside them can take the pointer; then the keyboard through Qt,
    // which asks the server, reports the status and so knows to release it.
    xcb_connection_t* c = x11::connection();
    if (c) {
        const std::uint16_t events = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                     XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW |
                                     XCB_EVENT_MASK_LEAVE_WINDOW;
        xcb_grab_pointer_reply_t* reply = xcb_grab_pointer_reply(
            c,
            xcb_grab_pointer(c, 1, xcb_window_t(window->winId()), events, XCB_GRAB_MODE_ASYNC,
                             XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
            nullptr);
        const bool grabbed = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(reply);
        if (!grabbed) return false;
    }
    if (window->setKeyboardGrabEnabled(true)) return true;
    if (c) {
        xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
        xcb_flush(c);
    }
    return false;
}

}  // namespace tessal
