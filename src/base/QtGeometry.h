#pragma once

#include <QRectF>

#include "geometry.h"

namespace tessal {

// Qt's global rectangles (y down, virtual-desktop origin) against global model coordinates
// (bottom-left of the primary display, y up). `primary` is the primary screen's Qt geometry.
Rect globalFromQt(const QRectF& r, const QRectF& primary);
QRectF qtFromGlobal(const Rect& r, const QRectF& primary);

// A view of the given height: Qt's y-down positions against the model's y-up ones.
Point pointFromView(const QPointF& q, double height);
QRectF viewRect(const Rect& r, double height);
Rect rectFromView(const QRectF& r, double height);

}  // namespace tessal
