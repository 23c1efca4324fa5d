#pragma once

#include <array>

#include "base/geometry.h"

namespace tessal {

// The eight resize handles of a rectangle and the inside that moves it. The one resize rule
// here serves selections, marks and every other adjustable rectangle.
enum class SelectionHandle {
    bottomLeft = 0,
    bottom,
    bottomRight,
    right,
    topRight,
    top,
    topLeft,
    left,
    move,
};

inline constexpr std::array<SelectionHandle, 9> allSelectionHandles = {
    SelectionHandle::bottomLeft, SelectionHandle::bottom,   SelectionHandle::bottomRight,
    SelectionHandle::right,      SelectionHandle::topRight, SelectionHandle::top,
    SelectionHandle::topLeft,    SelectionHandle::left,     SelectionHandle::move};

// Where the handle sits on r (y up: "top" is the larger y).
Point handlePoint(SelectionHandle handle, const Rect& r);

// r changed by dragging `handle` by `delta`, kept inside `within` and at least 3 points wide
// and high; corners keep r's aspect ratio when `lockAspectRatio` is set.
Rect adjusted(SelectionHandle handle, const Rect& r, Point delta, const Rect& within,
              bool lockAspectRatio);

bool isCorner(SelectionHandle handle);

}  // namespace tessal
