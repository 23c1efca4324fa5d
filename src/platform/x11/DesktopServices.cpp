#include "DesktopServices.h"

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
#include <QWindow>
#include <cstdlib>

#include <xcb/xtest.h>

#include "X11Connection.h"
#include "X11KeyTap.h"
#include "platform/DisplayMapping.h"

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

void QtWorkspace::revealFiles(const QStringList& paths) {
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

int QtWorkspace::frontmostPid() {
    return x11::activeWindowPid();
}

bool QtWorkspace::activate(int pid) {
    xcb_connection_t* c = x11::connection();
    if (!c || pid <= 0) return false;
    const auto stacking =
        x11::cardinalProperty(x11::rootWindow(), x11::atom("_NET_CLIENT_LIST_STACKING"));
    for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
        if (x11::windowPid(*it) != pid) continue;
        // Source indication 2: a pager acting for the user, which window managers obey.
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = *it;
        message.type = x11::atom("_NET_ACTIVE_WINDOW");
        message.data.data32[0] = 2;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, x11::rootWindow(),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(c);
        return true;
    }
    return false;
}

bool QtWorkspace::postScroll(Point point, int notches, bool horizontal) {
    xcb_connection_t* c = x11::connection();
    if (!c || notches == 0) return false;
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(c, &xcb_test_id);
    if (!xtest || !xtest->present) return false;
    const xcb_window_t root = x11::rootWindow();
    const QPoint target = nativeFromWindowListPoint(point, currentDisplayMappings());
    xcb_query_pointer_reply_t* pointer =
        xcb_query_pointer_reply(c, xcb_query_pointer(c, root), nullptr);
    // Wheel buttons: 4 up, 5 down, 6 left, 7 right.
    const std::uint8_t button = horizontal ? (notches > 0 ? 7 : 6) : (notches > 0 ? 5 : 4);
    xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, std::int16_t(target.x()),
                        std::int16_t(target.y()), 0);
    for (int i = 0; i < std::abs(notches); ++i) {
        xcb_test_fake_input(c, XCB_BUTTON_PRESS, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_BUTTON_RELEASE, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    if (pointer) {
        xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, pointer->root_x,
                            pointer->root_y, 0);
        std::free(pointer);
    }
    xcb_flush(c);
    return true;
}

std::unique_ptr<KeyTap> QtWorkspace::tapKeys(int targetPid,
                                             std::function<void(int keyCode, bool repeat)> onKey) {
    if (!x11::connection()) return nullptr;
    return std::make_unique<X11KeyTap>(targetPid, std::move(onKey));
}

}  // namespace tessal
