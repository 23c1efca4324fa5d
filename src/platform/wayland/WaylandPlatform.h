#pragma once

#include "platform/Platform.h"

namespace tessal {

// The Wayland desktop: portals for the screen and the shortcut, no window list, no window
// streams (long capture needs X11 for now). The caller adds what both desktops share.
Platform createWaylandPlatform();

}  // namespace tessal
