#include "X11Connection.h"

#include <xcb/res.h>
#include <xcb/xcb_keysyms.h>

#include <QGuiApplication>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "platform/KeyCodes.h"

namespace tessal::x11 {

xcb_connection_t* connection() {
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

bool compositingManagerRunning() {
    xcb_connection_t* c = connection();
    if (!c) return false;
    // screen() is the first of the server's screens, number 0.
    const xcb_atom_t selection = atom("_NET_WM_CM_S0");
    if (selection == XCB_NONE) return false;
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    const bool owned = reply && reply->owner != XCB_NONE;
    std::free(reply);
    return owned;
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
    return pid.empty() || pid[0] == 0 ? clientPid(window) : int(pid[0]);
}

std::vector<int> clientPids(const std::vector<xcb_window_t>& windows) {
    std::vector<int> pids(windows.size(), 0);
    xcb_connection_t* c = connection();
    if (!c || windows.empty()) return pids;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_res_id);
    if (!extension || !extension->present) return pids;
    // Client ids need version 1.2 of the extension, which is announced once per connection.
    // Main thread only, like every use of Qt's connection.
    static xcb_connection_t* announcedOn = nullptr;
    static bool supported = false;
    if (announcedOn != c) {
        announcedOn = c;
        xcb_res_query_version_reply_t* version =
            xcb_res_query_version_reply(c, xcb_res_query_version(c, 1, 2), nullptr);
        supported = version && (version->server_major > 1 ||
                                (version->server_major == 1 && version->server_minor >= 2));
        std::free(version);
    }
    if (!supported) return pids;
    // One request for all the windows: each answer names the client it belongs to.
    std::vector<xcb_res_client_id_spec_t> specs;
    for (xcb_window_t window : windows)
        specs.push_back({window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID});
    xcb_res_query_client_ids_reply_t* reply = xcb_res_query_client_ids_reply(
        c, xcb_res_query_client_ids(c, uint32_t(specs.size()), specs.data()), nullptr);
    if (!reply) return pids;
    // The answer names the client by its id base: the bits outside the server's id mask, which
    // is the same for every client.
    const uint32_t idMask = xcb_get_setup(c)->resource_id_mask;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply); it.rem;
         xcb_res_client_id_value_next(&it)) {
        const xcb_res_client_id_spec_t& id = it.data->spec;
        if (!(id.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) ||
            xcb_res_client_id_value_value_length(it.data) < 1)
            continue;
        const int pid = int(*xcb_res_client_id_value_value(it.data));
        const uint32_t base = id.client & ~idMask;
        for (size_t i = 0; i < windows.size(); ++i)
            if (pids[i] == 0 && pid > 0 && (windows[i] & ~idMask) == base) pids[i] = pid;
    }
    std::free(reply);
    return pids;
}

int clientPid(xcb_window_t window) {
    return clientPids({window}).front();
}

xcb_window_t activeWindow() {
    if (!connection()) return XCB_NONE;
    const auto active = cardinalProperty(rootWindow(), atom("_NET_ACTIVE_WINDOW"), 1);
    return active.empty() ? XCB_NONE : active[0];
}

void sync() {
    xcb_connection_t* c = connection();
    if (!c) return;
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

namespace {
bool keyboardHeld = false;
unsigned holdSerial = 0;
// Longer than any capture takes to bring up its overlay; a hold nobody takes over or releases
// must not leave the desktop without its keyboard.
constexpr int kHoldLimitMs = 1500;
}  // namespace

void holdKeyboard() {
    xcb_connection_t* c = connection();
    if (!c) return;
    // Asked again each time: an overlay hidden since (a capture replacing the session) has
    // released the keyboard. The answer is not waited for: a refused grab leaves nothing to
    // release, and releasing a grab this client does not hold does nothing.
    xcb_discard_reply(c, xcb_grab_keyboard(c, 0, rootWindow(), XCB_CURRENT_TIME,
                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_SYNC)
                             .sequence);
    xcb_flush(c);
    keyboardHeld = true;
    const unsigned serial = ++holdSerial;
    QTimer::singleShot(kHoldLimitMs, qGuiApp, [serial] {
        if (serial == holdSerial) releaseKeyboardHold();
    });
}

void keyboardTakenOver() {
    keyboardHeld = false;
}

void releaseKeyboardHold() {
    xcb_connection_t* c = connection();
    if (!std::exchange(keyboardHeld, false) || !c) return;
    xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    xcb_flush(c);
}

}  // namespace tessal::x11
