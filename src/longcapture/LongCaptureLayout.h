#pragma once

#include "base/geometry.h"

namespace tessal {

struct LongCapturePlacement {
    Rect toolbar;  // the control window
    Rect preview;  // the preview panel
};

// Where the control window and the preview panel go beside a capture region: the control
// window below the region, right-aligned with it (else above; else to its left or right, level
// with its bottom; else at the bottom, over it); the preview
// to its right (else left, else at the right edge), top-aligned. Global coordinates, y up;
// `screen` is the visible frame of the region's display.
LongCapturePlacement longCaptureLayout(const Rect& region, const Rect& screen, Size toolbar,
                                       Size preview);

}  // namespace tessal
