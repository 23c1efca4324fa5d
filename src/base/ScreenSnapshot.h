#pragma once

#include <QImage>
#include <functional>
#include <optional>
#include <vector>

#include "geometry.h"

namespace tessal {

// A window the user may pick: its rectangle and the id of the process that owns it.
struct WindowTarget {
    Rect rect;
    int pid = 0;
    bool focused = false;
    unsigned number = 0;  // the window-list number, 0 when the list gives none

    friend bool operator==(const WindowTarget&, const WindowTarget&) = default;
};

// Finds selectable regions inside windows[index] around a screen-local point. May block, so it is
// only called off the main thread.
using ChildRegionLookup = std::function<std::vector<Rect>(int index, Point point)>;

// One display frozen at the moment of capture.
struct ScreenSnapshot {
    Rect frame;                 // global coordinates, points
    QImage image;               // frame × scale pixels
    std::vector<Rect> windows;  // screen-local, front to back
    ChildRegionLookup childRegions;
    // The window with the keyboard focus, where the window list tells it (an index into windows).
    std::optional<std::size_t> focusedWindow;
    // The frontmost window under the pointer, where the platform tells where the pointer is
    // before it enters an overlay (an index into windows).
    std::optional<std::size_t> pointedWindow;
};

}  // namespace tessal
