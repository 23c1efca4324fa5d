#include "X11KeyTap.h"

#include <unistd.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <cstdlib>

#include "X11Connection.h"
#include "platform/KeyCodes.h"

namespace tessal {
namespace {

// Shift may be held; Lock and NumLock never matter. Control, Alt and Super keep the key for
// the application.
constexpr std::uint16_t kGrabMasks[] = {0,
                                        XCB_MOD_MASK_LOCK,
                                        XCB_MOD_MASK_2,
                                        XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2,
                                        XCB_MOD_MASK_SHIFT,
                                        XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK,
                                        XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_2,
                                        XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr std::uint16_t kPassingMasks = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

}  // namespace

X11KeyTap::X11KeyTap(const WindowOwner& target, std::function<void(int keyCode, bool repeat)> onKey)
    : target_(target), ownPid_(int(getpid())), onKey_(std::move(onKey)) {
    xcb_connection_t* c = x11::connection();
    const xcb_window_t root = x11::rootWindow();
    activeAtom_ = x11::atom("_NET_ACTIVE_WINDOW");
    for (int code : {KeyCode::returnKey, KeyCode::space, KeyCode::escape})
        if (const std::uint8_t keycode = x11::keycodeFor(code)) keys_[keycode] = code;
    // Told when the active window changes: the root's own events, added to what Qt asked for.
    if (auto* attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root), nullptr)) {
        const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
        std::free(attributes);
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    follow();
}

X11KeyTap::~X11KeyTap() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
    setGrabbed(false);
}

void X11KeyTap::follow() {
    const xcb_window_t active = x11::activeWindow();
    const int pid = active == XCB_NONE ? 0 : x11::windowPid(active);
    setGrabbed(active != XCB_NONE && (target_.owns(pid, active) || (pid > 0 && pid == ownPid_)));
}

void X11KeyTap::setGrabbed(bool grabbed) {
    xcb_connection_t* c = x11::connection();
    if (!c || grabbed == grabbed_) return;
    grabbed_ = grabbed;
    for (const auto& [keycode, code] : keys_) {
        for (std::uint16_t mask : kGrabMasks) {
            if (grabbed)
                // No owner events: the keys come to the root even while one of our own windows
                // has the focus, so they take one path.
                xcb_grab_key(c, 0, x11::rootWindow(), mask, keycode, XCB_GRAB_MODE_ASYNC,
                             XCB_GRAB_MODE_ASYNC);
            else
                xcb_ungrab_key(c, keycode, x11::rootWindow(), mask);
        }
    }
    if (!grabbed) down_.clear();
    xcb_flush(c);
}

bool X11KeyTap::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const int type = event->response_type & 0x7f;
    if (type == XCB_PROPERTY_NOTIFY) {
        auto* property = reinterpret_cast<xcb_property_notify_event_t*>(event);
        if (property->window == x11::rootWindow() && property->atom == activeAtom_) follow();
        return false;
    }
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    const auto found = keys_.find(key->detail);
    if (!grabbed_ || key->event != x11::rootWindow() || found == keys_.end() ||
        (key->state & kPassingMasks))
        return false;
    if (type == XCB_KEY_RELEASE) {
        down_.erase(key->detail);
        released_[key->detail] = key->time;
        return true;
    }
    // A repeat: a second press without a release between (detectable auto-repeat), or a press
    // at the very time of the last release (the server's plain auto-repeat pairs).
    const auto release = released_.find(key->detail);
    const bool repeat = down_.count(key->detail) > 0 ||
                        (release != released_.end() && release->second == key->time);
    down_.insert(key->detail);
    // The receiver may end this tap; nothing of it is touched after the call.
    if (auto onKey = onKey_) onKey(found->second, repeat);
    return true;
}

}  // namespace tessal
