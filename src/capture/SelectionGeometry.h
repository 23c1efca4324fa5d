#pragma once

#include <QSize>
#include <QString>
#include <optional>

#include "base/SelectionHandle.h"
#include "base/geometry.h"

namespace tessal {

// sRGB (59, 130, 246): the border of highlighted and selected rectangles.
inline constexpr int selectionBorderRed = 59;
inline constexpr int selectionBorderGreen = 130;
inline constexpr int selectionBorderBlue = 246;

// The rectangle a 3-point border is stroked on, aligned so its lines cover whole device pixels.
Rect selectionStrokeRect(const Rect& r, double scale);

// The selection of exactly `pixels` image pixels (clamped to the image), keeping the lower-left
// corner unless that would leave the screen.
Rect exactSelectionSize(Size pixels, const Rect& selection, Size screenSize, QSize imageSize);

// Where the toolbar goes: right-aligned below the selection, else above, else inside.
Rect toolbarFrame(Size toolbar, const Rect& selection, const Rect& bounds);

// The handle of the selection chrome at p, or nothing.
std::optional<SelectionHandle> chromeHandle(Point p, const Rect& selection, bool moving);

// The corner and edge handle radii drawn for r; 0 when the handles are not drawn.
double cornerHandleRadius(const Rect& r);
double edgeHandleRadius(const Rect& r);

// The size badge: "W × H px" of the pixels the selection covers, and where it is placed.
QString selectionSizeText(const Rect& selection, Size screenSize, QSize imageSize);
Rect sizeBadgeFrame(double textWidth, const Rect& selection, const Rect& within);

}  // namespace tessal
