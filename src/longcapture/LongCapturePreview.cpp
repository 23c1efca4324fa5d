#include "LongCapturePreview.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>

#include "capture/SelectionGeometry.h"

namespace tessal {

LongCapturePreview::LongCapturePreview(QWidget* parent) : QWidget(parent) {}

QRectF LongCapturePreview::imageRect() const {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) return {};
    const QRectF area = QRectF(rect()).adjusted(3, 3, -3, -3);
    const double scale = std::min(area.width() / image.width(), area.height() / image.height());
    const double w = image.width() * scale, h = image.height() * scale;
    return {area.x() + (area.width() - w) / 2, area.y(), w, h};
}

QRectF LongCapturePreview::frameBox() const {
    const QRectF r = imageRect();
    if (r.isEmpty()) return {};
    if (horizontal) {
        const double w = std::max(3.0, r.width() * viewportFraction);
        return {reverseDirection ? r.left() : r.right() - w, r.top(), w, r.height()};
    }
    const double h = std::max(3.0, r.height() * viewportFraction);
    return {r.left(), reverseDirection ? r.top() : r.bottom() - h, r.width(), h};
}

void LongCapturePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(0.97f, 0.97f, 0.97f));
    const QRectF r = imageRect();
    if (r.isEmpty()) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(r, image);
    const QColor shade(0, 0, 0, 128);
    if (horizontal) {
        painter.fillRect(QRectF(r.left(), r.top(), r.width() * leadingCrop, r.height()), shade);
        painter.fillRect(QRectF(r.right() - r.width() * trailingCrop, r.top(),
                                r.width() * trailingCrop, r.height()),
                         shade);
    } else {
        painter.fillRect(QRectF(r.left(), r.top(), r.width(), r.height() * leadingCrop), shade);
        painter.fillRect(QRectF(r.left(), r.bottom() - r.height() * trailingCrop, r.width(),
                                r.height() * trailingCrop),
                         shade);
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(matched ? QColor(selectionBorderRed, selectionBorderGreen, selectionBorderBlue)
                     : QColor(255, 59, 48),
             2);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frameBox().adjusted(1, 1, -1, -1));
}

LongCapturePanel::LongCapturePanel()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QCoreApplication::translate("LongCapturePreview", "Tessal · 长截图预览"));
    preview_ = new LongCapturePreview(this);
}

void LongCapturePanel::resizeEvent(QResizeEvent* event) {
    preview_->setGeometry(rect());
    QWidget::resizeEvent(event);
}

}  // namespace tessal
