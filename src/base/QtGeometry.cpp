#include "QtGeometry.h"

namespace tessal {

Rect globalFromQt(const QRectF& r, const QRectF& primary) {
    return {r.x() - primary.x(), primary.y() + primary.height() - (r.y() + r.height()), r.width(),
            r.height()};
}

QRectF qtFromGlobal(const Rect& r, const QRectF& primary) {
    return {r.minX() + primary.x(), primary.y() + primary.height() - r.maxY(), r.width(),
            r.height()};
}

Point pointFromView(const QPointF& q, double height) {
    return {q.x(), height - q.y()};
}

QRectF viewRect(const Rect& r, double height) {
    return {r.minX(), height - r.maxY(), r.width(), r.height()};
}

Rect rectFromView(const QRectF& r, double height) {
    return {r.x(), height - (r.y() + r.height()), r.width(), r.height()};
}

}  // namespace tessal
