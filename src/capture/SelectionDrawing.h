#pragma once

#include "base/geometry.h"

class QPainter;

namespace tessal {

// Border and handles of a selection, for a painter in y-down view coordinates of a view
// `viewHeight` points high; `scale` is the device pixel ratio the lines are aligned to.
void drawSelectionBorder(QPainter& painter, const Rect& r, double viewHeight, double scale);
void drawSelectionHandles(QPainter& painter, const Rect& r, double viewHeight);

}  // namespace tessal
