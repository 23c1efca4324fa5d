#pragma once

#include <QRect>
#include <vector>

#include "base/ScreenSnapshot.h"
#include "base/UserError.h"

namespace tessal {

class AccessibilityService;
class ChildAccessibilityWorker;
class Clock;
class ScreenCaptureService;
struct PointerImage;

// Where the snapshots' child regions come from. Without a worker there are none; without an
// accessibility service they come from the image alone.
struct ChildRegionSources {
    ChildAccessibilityWorker* worker = nullptr;
    AccessibilityService* accessibility = nullptr;
    const Clock* clock = nullptr;
};

// Freezes every capturable display, primary first, with the windows visible on each. Fails as a
// whole when any display cannot be read, or with "没有可截取的显示器" when none can.
// With `withPointer`, the pointer is in the pictures where it is.
Result<std::vector<ScreenSnapshot>> captureScreens(ScreenCaptureService& service, int ownPid,
                                                   const ChildRegionSources& sources = {},
                                                   bool withPointer = false);

// Draws the pointer into the picture of the display at `nativeRect` (device pixels on the root),
// where it lies on it; a pointer elsewhere leaves the picture as it was.
void drawPointer(QImage& displayImage, const QRect& nativeRect, const PointerImage& pointer);

}  // namespace tessal
