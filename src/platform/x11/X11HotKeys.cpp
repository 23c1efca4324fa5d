#include "X11HotKeys.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <cstdlib>
#include <vector>

#include "X11Connection.h"
#include "platform/KeyCodes.h"

namespace tessal {
namespace {

// Lock and NumLock must not stop the combination from matching, so each grab is taken with
// every combination of the two.
constexpr std::uint16_t kIgnoredMasks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                           XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr std::uint16_t kRelevantMasks =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

std::uint16_t maskFromModifiers(std::uint32_t modifiers) {
    std::uint16_t mask = 0;
    if (modifiers & HotKeyModifier::control) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & HotKeyModifier::option) mask |= XCB_MOD_MASK_1;
    if (modifiers & HotKeyModifier::shift) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & HotKeyModifier::command) mask |= XCB_MOD_MASK_4;
    return mask;
}

}  // namespace

X11HotKeys::X11HotKeys() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeys::~X11HotKeys() {
    for (const auto& [reference, grab] : grabs_) ungrab(grab);
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

int X11HotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers) {
    xcb_connection_t* c = x11::connection();
    if (!c) return 0;
    const std::uint8_t keycode = x11::keycodeFor(static_cast<int>(keyCode));
    if (keycode == 0) return 0;
    const std::uint16_t mask = maskFromModifiers(modifiers);

    std::vector<xcb_void_cookie_t> cookies;
    for (std::uint16_t ignored : kIgnoredMasks) {
        cookies.push_back(xcb_grab_key_checked(c, 1, x11::rootWindow(), mask | ignored, keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool refused = false;
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookies[i])) {
            refused = true;  // BadAccess: another client holds this combination
            std::free(error);
        }
    }
    if (refused) {
        // Release whatever variants did succeed; the combination is not ours.
        ungrab({keycode, mask});
        return 0;
    }
    const int reference = nextReference_++;
    grabs_[reference] = {keycode, mask};
    return reference;
}

void X11HotKeys::unregisterHotKey(int reference) {
    auto it = grabs_.find(reference);
    if (it == grabs_.end()) return;
    const Grab grab = it->second;
    grabs_.erase(it);
    // Another registration may share the same grab; keep it while one does.
    for (const auto& [other, g] : grabs_)
        if (g.keycode == grab.keycode && g.mask == grab.mask) return;
    ungrab(grab);
}

void X11HotKeys::ungrab(const Grab& grab) {
    xcb_connection_t* c = x11::connection();
    if (!c) return;
    for (std::uint16_t ignored : kIgnoredMasks)
        xcb_ungrab_key(c, grab.keycode, x11::rootWindow(), grab.mask | ignored);
    xcb_flush(c);
}

bool X11HotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS) return false;
    auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
    if (press->event != x11::rootWindow()) return false;
    const std::uint16_t state = press->state & kRelevantMasks;
    for (const auto& [reference, grab] : grabs_) {
        if (grab.keycode == press->detail && grab.mask == state) {
            // Keys typed from here on wait for the capture's overlay (or are let go when the
            // press starts none). Not frozen by the grab itself: a Tessal that stopped
            // answering would then take the desktop's keyboard with it.
            x11::holdKeyboard();
            if (onPressed) onPressed(reference);
            return true;
        }
    }
    return false;
}

void X11HotKeys::releaseHeldKeys() {
    x11::releaseKeyboardHold();
}

}  // namespace tessal
