#pragma once

namespace tessal {

// A new connection to the compositor's socket ($WAYLAND_DISPLAY, relative to
// $XDG_RUNTIME_DIR unless absolute); -1 when there is none. The caller closes it.
int connectWaylandSocket();

// The process id of the compositor at the other end of that socket; 0 when unknown.
int compositorPid();

}  // namespace tessal
