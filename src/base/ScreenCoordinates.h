#pragma once

#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

#include "geometry.h"

namespace tessal {

// Conversions between the coordinate spaces every subsystem shares: window-list rectangles,
// screen-local points and image pixels.

// The top edge of the primary display in global coordinates (its height), 0 without displays.
double primaryTop(const std::vector<Rect>& displayFrames);

// A window-list rectangle in the screen-local coordinates of the display with frame `screen`,
// or nothing when it overlaps that display by less than 3 points either way.
std::optional<Rect> localWindowRect(const Rect& windowListRect, const Rect& screen,
                                    double primaryTop);

// The image pixels (x, y, width, height; y down) a screen-local selection covers, every partly
// covered pixel included, clipped to the image.
QRect pixelCrop(const Rect& selection, Size screenSize, QSize imageSize);

// What a pointer at screen-local p is over: the centre of the image pixel it covers, clamped to
// the image (NaN reads as 0). A pointer's position is the top-left corner of its pixel (y down);
// flipped to y up that corner lies on the pixel's top edge, which half-open containment gives to
// the pixel above. Tests of what lies under the pointer use this centre; selection edges keep
// the position itself.
Point pointedPixelCentre(Point p, Size screenSize, QSize imageSize);

// The screen-local rectangle that covers exactly the pixels of `crop`.
Rect snappedSelection(const QRect& crop, Size screenSize, QSize imageSize);

}  // namespace tessal
