#pragma once

#include <QVariantList>
#include <optional>
#include <vector>

#include "base/UserError.h"
#include "base/geometry.h"

namespace tessal {

// A window the command line asks a still of.
struct WindowChoice {
    enum class Kind { number, active, underPointer };
    Kind kind = Kind::number;
    // number: the window-list number given; active: the active window's (0 when unknown).
    unsigned number = 0;
    // underPointer: the pointer in window-list coordinates; nothing when the desktop hides it.
    std::optional<Point> pointer;
};

// Where a window's still is taken: the display it covers most (index in the display list) and
// its frame, decorations included, in that display's local points (y up), as the interactive
// path selects it.
struct WindowPlace {
    int display = 0;
    Rect local;
};

// Errors carry the exit status in their code: stillBadInput for a number no listed window has,
// stillFailed when the desktop cannot tell which window is meant or it lies on no display.
Result<WindowPlace> placeWindow(const QVariantList& windowList,
                                const std::vector<Rect>& displayFrames, const WindowChoice& choice,
                                int ownPid);

}  // namespace tessal
