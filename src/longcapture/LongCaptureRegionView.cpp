#include "LongCaptureRegionView.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <cmath>

#include "base/QtGeometry.h"
#include "capture/SelectionChrome.h"
#include "capture/SelectionDrawing.h"
#include "capture/SelectionGeometry.h"
#include "longcapture/LongCapturePanelHost.h"

namespace tessal {
namespace {

constexpr double kMargin = 5;

QRectF primaryGeometry() {
    QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? QRectF(primary->geometry()) : QRectF();
}

}  // namespace

Point globalPointFromQt(const QPointF& qt) {
    const QRectF p = primaryGeometry();
    return {qt.x() - p.x(), p.y() + p.height() - qt.y()};
}

QPointF qtPointFromWindowList(Point p) {
    const QRectF primary = primaryGeometry();
    return {primary.x() + p.x, primary.y() + p.y};
}

QRect qtRectFromGlobal(const Rect& rect) {
    return qtFromGlobal(rect, primaryGeometry()).toAlignedRect();
}

Rect globalRectFromQt(const QRect& rect) {
    return globalFromQt(QRectF(rect), primaryGeometry());
}

LongCaptureRegionView::LongCaptureRegionView()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The shape cuts the window to its ring on X11; a Wayland compositor takes a window's shape
    // for its input only, so the rest must also be transparent and left unpainted.
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setWindowTitle(QCoreApplication::translate("LongCaptureRegionView", "Tessal · 长截图选区"));
    setMouseTracking(true);
}

void LongCaptureRegionView::setGlobalRect(const Rect& rect) {
    globalRect_ = rect;
    const QRect placed = placedGeometry();
    resize(placed.size());
    placePanel(this, placed.topLeft());
    reshape();
    update();
}

Rect LongCaptureRegionView::globalFrame() const {
    return globalRect_.insetBy(-kMargin, -kMargin);
}

QRect LongCaptureRegionView::placedGeometry() const {
    return qtRectFromGlobal(globalFrame());
}

void LongCaptureRegionView::setShowsHandles(bool shows) {
    showsHandles_ = shows;
    if (!shows) drag_.reset();
    setAttribute(Qt::WA_TransparentForMouseEvents, !shows);
    if (isWindow() && windowFlags().testFlag(Qt::WindowTransparentForInput) != !shows) {
        // Changing a window flag hides the window; it comes back at once.
        const bool visible = isVisible();
        setWindowFlag(Qt::WindowTransparentForInput, !shows);
        if (visible) show();
    }
    reshape();
    update();
}

void LongCaptureRegionView::setRingOutside(bool outside) {
    ringOutside_ = outside;
    reshape();
    update();
}

Rect LongCaptureRegionView::ringOuter() const {
    return globalRect_.insetBy(ringOutside_ ? -ringWidth : -ringWidth / 2,
                               ringOutside_ ? -ringWidth : -ringWidth / 2);
}

QRgb LongCaptureRegionView::ringColor() {
    return qRgb(selectionBorderRed, selectionBorderGreen, selectionBorderBlue);
}

Rect LongCaptureRegionView::localRegion() const {
    return Rect(kMargin, kMargin, globalRect_.width(), globalRect_.height());
}

// Only the border ring and the handles are part of the window; the rest shows what is behind.
void LongCaptureRegionView::reshape() {
    const double h = height();
    const double inside = ringOutside_ ? 0 : ringWidth / 2,
                 outside = ringOutside_ ? ringWidth : ringWidth / 2;
    const QRect outer = viewRect(localRegion().insetBy(-outside, -outside), h).toAlignedRect();
    const QRect inner = viewRect(localRegion().insetBy(inside, inside), h).toAlignedRect();
    QRegion shape = QRegion(outer) - QRegion(inner);
    if (showsHandles_) {
        const Rect r = localRegion();
        for (SelectionHandle handle : allSelectionHandles) {
            if (handle == SelectionHandle::move) continue;
            const double radius =
                (isCorner(handle) ? cornerHandleRadius(r) : edgeHandleRadius(r)) + 2;
            const Point c = handlePoint(handle, r);
            shape += QRegion(
                QRectF(c.x - radius, h - c.y - radius, 2 * radius, 2 * radius).toAlignedRect(),
                QRegion::Ellipse);
        }
    }
    setMask(shape);
}

void LongCaptureRegionView::resizeEvent(QResizeEvent* event) {
    reshape();
    QWidget::resizeEvent(event);
}

void LongCaptureRegionView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setClipRegion(mask());
    painter.fillRect(rect(), QColor(ringColor()));
    drawSelectionBorder(painter, localRegion(), height(), devicePixelRatioF());
    if (showsHandles_) drawSelectionHandles(painter, localRegion(), height());
}

SelectionHandle LongCaptureRegionView::handleAt(Point global) const {
    // In the handles' own order: bottom-left, bottom, bottom-right, right, top-right, ….
    for (SelectionHandle handle : allSelectionHandles) {
        if (handle == SelectionHandle::move) continue;
        const Point c = handlePoint(handle, globalRect_);
        if (std::hypot(c.x - global.x, c.y - global.y) <= 8) return handle;
    }
    return SelectionHandle::move;
}

void LongCaptureRegionView::mousePressEvent(QMouseEvent* event) {
    if (!showsHandles_ || event->button() != Qt::LeftButton) return;
    const Point p = globalPointFromQt(event->globalPosition());
    drag_ = Drag{handleAt(p), p, globalRect_};
}

void LongCaptureRegionView::dragTo(Point global) {
    if (!drag_) return;
    const Point delta{global.x - drag_->start.x, global.y - drag_->start.y};
    const Rect next = adjusted(drag_->handle, drag_->rect, delta, constraint, false);
    if (onAdjust) onAdjust(next);
}

void LongCaptureRegionView::mouseMoveEvent(QMouseEvent* event) {
    const Point p = globalPointFromQt(event->globalPosition());
    if (!drag_) {
        if (showsHandles_) setCursor(cursorShape(handleAt(p), false));
        return;
    }
    dragTo(p);
}

void LongCaptureRegionView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragTo(globalPointFromQt(event->globalPosition()));
    drag_.reset();
}

}  // namespace tessal
