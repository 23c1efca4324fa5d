#pragma once

#include "base/geometry.h"

class QPainter;
class QRectF;

namespace tessal {

// Border and handles of a selection, for a painter in y-down view coordinates of a view
// `viewHeight` points high; `scale` is the device pixel ratio the lines are aligned to.
void drawSelectionBorder(QPainter& painter, const Rect& r, double viewHeight, double scale);
void drawSelectionHandles(QPainter& painter, const Rect& r, double viewHeight);
// The size badge's face (also under the fields that edit the size): a pill in the border colour.
void drawBadgeFace(QPainter& painter, const QRectF& rect);

}  // namespace tessal
