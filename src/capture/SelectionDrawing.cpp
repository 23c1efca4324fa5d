#include "SelectionDrawing.h"

#include <QPainter>
#include <QPainterPath>

#include "SelectionGeometry.h"
#include "base/QtGeometry.h"

namespace tessal {

void drawSelectionBorder(QPainter& painter, const Rect& r, double viewHeight, double scale) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    QPen pen(QColor(selectionBorderRed, selectionBorderGreen, selectionBorderBlue), 3);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(viewRect(selectionStrokeRect(r, scale), viewHeight));
    painter.restore();
}

void drawSelectionHandles(QPainter& painter, const Rect& r, double viewHeight) {
    const double corner = cornerHandleRadius(r);
    const double edge = edgeHandleRadius(r);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    for (SelectionHandle h : allSelectionHandles) {
        if (h == SelectionHandle::move) continue;
        const double radius = isCorner(h) ? corner : edge;
        if (radius <= 0) continue;
        const Point p = handlePoint(h, r);
        const QPointF centre(p.x, viewHeight - p.y);
        painter.setBrush(QColor(selectionBorderRed, selectionBorderGreen, selectionBorderBlue));
        painter.drawEllipse(centre, radius + 1, radius + 1);
        painter.setBrush(Qt::white);
        painter.drawEllipse(centre, radius, radius);
    }
    painter.restore();
}

void drawBadgeFace(QPainter& painter, const QRectF& rect) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(rect, 12, 12);
    painter.fillPath(shape, QColor(selectionBorderRed, selectionBorderGreen, selectionBorderBlue));
    painter.restore();
}

}  // namespace tessal
