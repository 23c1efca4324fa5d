#pragma once

#include <QSize>
#include <QVariantList>
#include <optional>
#include <vector>

#include "ScreenSnapshot.h"
#include "base/geometry.h"

namespace tessal {

// The selectable windows of a window list (front to back, window-list coordinates): other
// programs' ordinary, visible windows of at least 30 × 30 points. Malformed entries are skipped.
std::vector<WindowTarget> captureWindowTargets(const QVariantList& windowList, int excludedPid);

// The top edge of the primary display in global coordinates (its height), 0 without displays.
double primaryTop(const std::vector<Rect>& displayFrames);

// A window-list rectangle in the screen-local coordinates of the display with frame `screen`,
// or nothing when it overlaps that display by less than 3 points either way.
std::optional<Rect> localWindowRect(const Rect& windowListRect, const Rect& screen,
                                    double primaryTop);

// The image pixels (x, y, width, height; y down) a screen-local selection covers, every partly
// covered pixel included, clipped to the image.
QRect pixelCrop(const Rect& selection, Size screenSize, QSize imageSize);

// The screen-local rectangle that covers exactly the pixels of `crop`.
Rect snappedSelection(const QRect& crop, Size screenSize, QSize imageSize);

}  // namespace tessal
