#pragma once

#include <QPointF>
#include <QRect>
#include <vector>

#include "ScreenCaptureService.h"
#include "base/geometry.h"

namespace tessal {

// How one display's device pixels on the root window map to points.
struct DisplayMapping {
    QRect native;
    QPointF logicalTopLeft;
    double scale = 1;
};

// The displays as Qt sees them now, primary first. Main thread only.
std::vector<DisplayMapping> currentDisplayMappings();

// The displays as Qt reports them (the same on X11 and Wayland), primary first.
std::vector<DisplayInfo> qtDisplays();

// A root-window rectangle in window-list points (origin at the primary display's top-left,
// y down), through the display that holds its centre.
Rect windowListRectFromNative(const QRect& native, const std::vector<DisplayMapping>& displays);
// A window-list point on the root window, through the display that holds it.
QPoint nativeFromWindowListPoint(Point p, const std::vector<DisplayMapping>& displays);

}  // namespace tessal
