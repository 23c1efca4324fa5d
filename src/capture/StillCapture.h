#pragma once

#include <QImage>
#include <optional>
#include <utility>
#include <vector>

#include "base/UserError.h"
#include "base/geometry.h"

namespace tessal {

class ScreenCaptureService;

// A still of one display, or of a part of it, taken without the interface.
struct StillCapture {
    QImage image;
    Rect taken;            // display-local points, y up
    bool clipped = false;  // the region reached past the display and was cut to it
};

inline constexpr const char* stillCaptureDomain = "StillCapture";
enum StillCaptureError { stillBadInput = 2, stillFailed = 3 };

// `region` in display-local points, y up; what lies off the display is left out (`clipped`), a
// region wholly off it is refused. Errors carry the exit status their code names.
Result<StillCapture> takeStill(ScreenCaptureService& service, int ownPid, int display,
                               std::optional<Rect> region, bool withPointer = false);

// The display a region in global points overlaps most, and the region in that display's local
// points; nothing when it overlaps none.
std::optional<std::pair<int, Rect>> displayOfRegion(const std::vector<Rect>& displayFrames,
                                                    const Rect& globalRegion);

}  // namespace tessal
