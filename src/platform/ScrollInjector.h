#pragma once

#include "base/geometry.h"

namespace tessal {

// One turn of another program's wheel, in window-list points.
struct ScrollRequest {
    Point point;
    // Positive: the content moves towards its end (down or right); negative: towards its start.
    int notches = 0;
    bool horizontal = false;
    // Where the pointer must not stay afterwards (some compositors draw it into every picture),
    // and where it had best stay (the source window: a desktop that focuses the window under
    // the pointer keeps the source in front). Empty: no preference.
    Rect keepClear;
    Rect parkWithin;
};

// Turns another program's wheel as the user would.
class ScrollInjector {
  public:
    virtual ~ScrollInjector() = default;
    // False when the desktop takes no synthetic wheel turns.
    virtual bool postScroll(const ScrollRequest& request) = 0;
    // Readies what turns the wheel where the desktop takes a while to (a pointer it must add
    // first), so that the first turn, soon after, does not wait for it.
    virtual void prepareScrolling() {}
};

}  // namespace tessal
