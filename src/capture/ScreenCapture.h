#pragma once

#include <vector>

#include "ScreenSnapshot.h"
#include "base/UserError.h"

namespace tessal {

class ScreenCaptureService;

// Freezes every capturable display, primary first, with the windows visible on each. Fails as a
// whole when any display cannot be read, or with "没有可截取的显示器" when none can.
Result<std::vector<ScreenSnapshot>> captureScreens(ScreenCaptureService& service, int ownPid,
                                                   bool usingAccessibility);

}  // namespace tessal
