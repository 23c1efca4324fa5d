#pragma once

#include <xcb/xcb.h>

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace tessal::x11 {

// Qt's own connection to the X server; null when the program does not run on xcb.
xcb_connection_t* connection();
// The default screen (its root window, depth and visual); null without a connection.
const xcb_screen_t* screen();
xcb_window_t rootWindow();

xcb_atom_t atom(const char* name);
// The 32-bit items of a property, empty when it is absent or of another format.
std::vector<std::uint32_t> cardinalProperty(xcb_window_t window, xcb_atom_t property,
                                            std::uint32_t maxItems = 1024);
// The same in two halves, so many requests can be sent before the first answer is awaited.
xcb_get_property_cookie_t requestProperty(xcb_window_t window, xcb_atom_t property,
                                          std::uint32_t maxItems);
std::vector<std::uint32_t> cardinalReply(xcb_get_property_cookie_t cookie);
// The server's key code for one of our key codes (KeyCodes.h); 0 when the keyboard has none.
std::uint8_t keycodeFor(int keyCode);
// The process that owns `window`: its _NET_WM_PID, else the process of the client that created it
// as the X-Resource extension knows it (local clients only); 0 when unknown.
int windowPid(xcb_window_t window);
// The X-Resource half of that alone; 0 when the extension or the process is unknown.
int clientPid(xcb_window_t window);
// The same for several windows in one round trip, in their order.
std::vector<int> clientPids(const std::vector<xcb_window_t>& windows);
// The active window (_NET_ACTIVE_WINDOW); XCB_NONE when unknown.
xcb_window_t activeWindow();
// A compositing manager owns the _NET_WM_CM_S<screen> selection of the default screen.
bool compositingManagerRunning();
// Waits until the server has handled every request sent so far.
void sync();

// Keys typed between the start of a capture and its overlay taking the keyboard wait in the
// server instead of reaching the focused program: the keyboard is grabbed on the root window
// and frozen. An overlay's own grab replaces the hold and thaws it, so the waiting keys reach
// the overlay in order. Nothing when another client holds the keyboard. A hold neither taken
// over nor released within a moment ends by itself; holding again restarts that moment.
void holdKeyboard();
// The hold has become an overlay's grab: releasing it must not end that grab.
void keyboardTakenOver();
// Ends a hold no overlay took over; the waiting keys go where they would have gone.
void releaseKeyboardHold();

}  // namespace tessal::x11
