#include "X11Connection.h"

#include <xcb/xcb_keysyms.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/KeyCodes.h"

namespace tessal::x11 {

xcb_connection_t* connection() {
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

const xcb_screen_t* screen() {
    xcb_connection_t* c = connection();
    if (!c) return nullptr;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    return it.rem ? it.data : nullptr;
}

xcb_window_t rootWindow() {
    const xcb_screen_t* s = screen();
    return s ? s->root : XCB_NONE;
}

xcb_atom_t atom(const char* name) {
    // Atoms live as long as the server; each name costs one round trip, once.
    static std::map<std::string, xcb_atom_t> cache;
    static xcb_connection_t* cachedFor = nullptr;
    xcb_connection_t* c = connection();
    if (!c) return XCB_NONE;
    if (cachedFor != c) cache.clear(), cachedFor = c;
    if (auto it = cache.find(name); it != cache.end()) return it->second;
    auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply) return XCB_NONE;
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    cache[name] = result;
    return result;
}

std::vector<std::uint32_t> cardinalProperty(xcb_window_t window, xcb_atom_t property,
                                            std::uint32_t maxItems) {
    return cardinalReply(requestProperty(window, property, maxItems));
}

xcb_get_property_cookie_t requestProperty(xcb_window_t window, xcb_atom_t property,
                                          std::uint32_t maxItems) {
    return xcb_get_property(connection(), 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                            maxItems);
}

std::vector<std::uint32_t> cardinalReply(xcb_get_property_cookie_t cookie) {
    std::vector<std::uint32_t> values;
    xcb_connection_t* c = connection();
    if (!c) return values;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    if (!reply) return values;
    if (reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / 4;
        values.assign(data, data + count);
    }
    std::free(reply);
    return values;
}

std::uint8_t keycodeFor(int keyCode) {
    xcb_connection_t* c = connection();
    const std::uint32_t keysym = keysymFromKeyCode(keyCode);
    if (!c || keysym == 0) return 0;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    if (!symbols) return 0;
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    const std::uint8_t result = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    return result;
}

int windowPid(xcb_window_t window) {
    const auto pid = cardinalProperty(window, atom("_NET_WM_PID"), 1);
    return pid.empty() ? 0 : int(pid[0]);
}

int activeWindowPid() {
    if (!connection()) return 0;
    const auto active = cardinalProperty(rootWindow(), atom("_NET_ACTIVE_WINDOW"), 1);
    return active.empty() || active[0] == XCB_NONE ? 0 : windowPid(active[0]);
}

void sync() {
    xcb_connection_t* c = connection();
    if (!c) return;
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

}  // namespace tessal::x11
