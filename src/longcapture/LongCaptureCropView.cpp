#include "LongCaptureCropView.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "capture/SelectionGeometry.h"

namespace tessal {

LongCaptureCropView::LongCaptureCropView(const QImage& image, LongCaptureAxis axis,
                                         LongCaptureCrop crop, QWidget* parent)
    : QWidget(parent),
      shown_(restoreAxis(axis, image)),
      rows_(image.height()),
      axis_(axis),
      crop_(crop) {
    resize(300, 320);
    setCursor(axis == LongCaptureAxis::vertical ? Qt::SizeVerCursor : Qt::SizeHorCursor);
}

void LongCaptureCropView::setCrop(LongCaptureCrop crop) {
    crop_ = crop;
    update();
}

QRectF LongCaptureCropView::imageRect() const {
    if (shown_.isNull()) return {};
    const QRectF area = QRectF(rect()).adjusted(12, 12, -12, -12);
    const double scale = std::min(area.width() / shown_.width(), area.height() / shown_.height());
    const double w = shown_.width() * scale, h = shown_.height() * scale;
    return {area.center().x() - w / 2, area.center().y() - h / 2, w, h};
}

double LongCaptureCropView::leadingLine() const {
    const QRectF r = imageRect();
    const double share = rows_ > 0 ? double(crop_.leading) / rows_ : 0;
    return axis_ == LongCaptureAxis::vertical ? r.top() + share * r.height()
                                              : r.left() + share * r.width();
}

double LongCaptureCropView::trailingLine() const {
    const QRectF r = imageRect();
    const double share = rows_ > 0 ? double(crop_.trailing) / rows_ : 0;
    return axis_ == LongCaptureAxis::vertical ? r.bottom() - share * r.height()
                                              : r.right() - share * r.width();
}

void LongCaptureCropView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRectF r = imageRect();
    if (r.isEmpty()) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(r, shown_);
    const QColor shade(0, 0, 0, 115);
    const double lead = leadingLine(), trail = trailingLine();
    QPen pen(QColor(selectionBorderRed, selectionBorderGreen, selectionBorderBlue), 3);
    painter.setPen(pen);
    if (axis_ == LongCaptureAxis::vertical) {
        painter.fillRect(QRectF(r.left(), r.top(), r.width(), lead - r.top()), shade);
        painter.fillRect(QRectF(r.left(), trail, r.width(), r.bottom() - trail), shade);
        painter.drawLine(QPointF(r.left() - 6, lead), QPointF(r.right() + 6, lead));
        painter.drawLine(QPointF(r.left() - 6, trail), QPointF(r.right() + 6, trail));
    } else {
        painter.fillRect(QRectF(r.left(), r.top(), lead - r.left(), r.height()), shade);
        painter.fillRect(QRectF(trail, r.top(), r.right() - trail, r.height()), shade);
        painter.drawLine(QPointF(lead, r.top() - 6), QPointF(lead, r.bottom() + 6));
        painter.drawLine(QPointF(trail, r.top() - 6), QPointF(trail, r.bottom() + 6));
    }
}

double LongCaptureCropView::along(const QPointF& p) const {
    return axis_ == LongCaptureAxis::vertical ? p.y() : p.x();
}

void LongCaptureCropView::mousePressEvent(QMouseEvent* event) {
    const double at = along(event->position());
    draggingTop_ = std::abs(at - leadingLine()) <= std::abs(at - trailingLine());
    dragTo(event->position());
}

void LongCaptureCropView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) dragTo(event->position());
}

void LongCaptureCropView::dragTo(const QPointF& p) {
    const QRectF r = imageRect();
    if (r.isEmpty() || rows_ < 1) return;
    const double share = axis_ == LongCaptureAxis::vertical ? (p.y() - r.top()) / r.height()
                                                            : (p.x() - r.left()) / r.width();
    const int row = int(std::lround(share * rows_));
    if (draggingTop_)
        crop_.leading = std::clamp(row, 0, std::max(0, rows_ - crop_.trailing - 1));
    else
        crop_.trailing = std::clamp(rows_ - row, 0, std::max(0, rows_ - crop_.leading - 1));
    update();
    if (onChange) onChange(crop_);
}

}  // namespace tessal
