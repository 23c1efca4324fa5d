#pragma once

#include "base/geometry.h"

namespace tessal {

struct LongCapturePlacement {
    Rect toolbar;  // the control window
    Rect preview;  // the preview panel
};

// Where the control window and the preview panel go beside a capture region: the control
// window below the region (else above, else at the bottom), right-aligned with it; the preview
// to its right (else left, else at the right edge), top-aligned. Global coordinates, y up;
// `screen` is the visible frame of the region's display.
LongCapturePlacement longCaptureLayout(const Rect& region, const Rect& screen, Size toolbar,
                                       Size preview);

}  // namespace tessal
