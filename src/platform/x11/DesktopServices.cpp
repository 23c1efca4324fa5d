#include "DesktopServices.h"

#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>

#include <xcb/xtest.h>

#include "X11Connection.h"
#include "X11KeyTap.h"
#include "platform/DisplayMapping.h"

namespace tessal {

void X11Workspace::sendWindowChanges() {
    // A round trip: the server has unmapped the windows when its answer comes (and painted the
    // backgrounds they uncovered; a compositing manager and the windows below repaint on their
    // own).
    x11::sync();
}

bool X11Workspace::grabInput(QWindow* window) {
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
    if (window->setKeyboardGrabEnabled(true)) {
        x11::keyboardTakenOver();
        return true;
    }
    if (c) {
        xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
        xcb_flush(c);
    }
    return false;
}

WindowOwner X11Workspace::frontmost() {
    const xcb_window_t active = x11::activeWindow();
    if (active == XCB_NONE) return {};
    return {x11::windowPid(active), unsigned(active)};
}

bool X11Workspace::activate(const WindowOwner& owner) {
    xcb_connection_t* c = x11::connection();
    if (!c || (owner.pid <= 0 && owner.window == 0)) return false;
    xcb_window_t target = owner.window;
    if (owner.pid > 0) {
        const auto stacking =
            x11::cardinalProperty(x11::rootWindow(), x11::atom("_NET_CLIENT_LIST_STACKING"));
        for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
            if (x11::windowPid(*it) != owner.pid) continue;
            target = *it;
            break;
        }
    }
    if (target == XCB_NONE) return false;
    // Source indication 2: a pager acting for the user, which window managers obey.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = target;
    message.type = x11::atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, x11::rootWindow(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
    return true;
}

bool X11Workspace::postScroll(const ScrollRequest& request) {
    const Point point = request.point;
    const int notches = request.notches;
    const bool horizontal = request.horizontal;
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

std::unique_ptr<KeyTap> X11Workspace::tapKeys(const WindowOwner& target,
                                              std::function<void(int keyCode, bool repeat)> onKey) {
    if (!x11::connection()) return nullptr;
    return std::make_unique<X11KeyTap>(target, std::move(onKey));
}

}  // namespace tessal
