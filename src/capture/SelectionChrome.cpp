#include "SelectionChrome.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include "SelectionDrawing.h"
#include "SelectionGeometry.h"
#include "base/QtGeometry.h"

namespace tessal {

Qt::CursorShape cursorShape(SelectionHandle handle, bool dragging) {
    switch (handle) {
        case SelectionHandle::move:
            return dragging ? Qt::ClosedHandCursor : Qt::OpenHandCursor;
        case SelectionHandle::bottomLeft:
        case SelectionHandle::topRight:
            return Qt::SizeBDiagCursor;
        case SelectionHandle::bottomRight:
        case SelectionHandle::topLeft:
            return Qt::SizeFDiagCursor;
        case SelectionHandle::top:
        case SelectionHandle::bottom:
            return Qt::SizeVerCursor;
        case SelectionHandle::left:
        case SelectionHandle::right:
            return Qt::SizeHorCursor;
    }
    return Qt::ArrowCursor;
}

SelectionChrome::SelectionChrome(QWidget* parent, const Rect& selection)
    : QWidget(parent), selection_(selection) {
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    if (parent) setGeometry(parent->rect());
    refreshMask();
}

Point SelectionChrome::modelPoint(const QPointF& q) const {
    return pointFromView(q, height());
}

std::optional<SelectionHandle> SelectionChrome::handle(Point p) const {
    return chromeHandle(p, selection_, moving_ || temporaryMoving_);
}

void SelectionChrome::setSelection(const Rect& selection) {
    selection_ = selection;
    refreshMask();
    update();
}

void SelectionChrome::setMoving(bool moving) {
    moving_ = moving;
    refreshMask();
}

void SelectionChrome::setTemporaryMoving(bool moving) {
    temporaryMoving_ = moving;
    refreshMask();
}

// The widget answers the mouse only inside its mask: the handle squares, the edge bands and,
// while moving, the inside. Everything it draws lies within the same area.
void SelectionChrome::refreshMask() {
    const double h = height();
    QRegion region;
    for (SelectionHandle handle : allSelectionHandles) {
        if (handle == SelectionHandle::move) continue;
        const Point p = handlePoint(handle, selection_);
        region += viewRect(Rect(p.x - 7, p.y - 7, 14, 14), h).toAlignedRect();
    }
    const QRect outer = viewRect(selection_.insetBy(-5, -5), h).toAlignedRect();
    if (moving_ || temporaryMoving_) {
        region += outer;
    } else {
        const Rect inner = selection_.insetBy(5, 5);
        region +=
            inner.isNull()
                ? QRegion(outer)
                : QRegion(outer).subtracted(viewRect(inner, h).toRect().adjusted(1, 1, -1, -1));
    }
    setMask(region);
    if (!drag_) unsetCursor();
}

void SelectionChrome::refreshCursor(std::optional<SelectionHandle> handle) {
    if (handle)
        setCursor(cursorShape(*handle, drag_.has_value()));
    else
        unsetCursor();
}

void SelectionChrome::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawSelectionBorder(painter, selection_, height(), devicePixelRatioF());
    drawSelectionHandles(painter, selection_, height());
}

void SelectionChrome::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const Point p = modelPoint(event->position());
    const auto h = handle(p);
    if (!h) {
        event->ignore();
        return;
    }
    drag_ = Drag{*h, p, selection_};
    if (onAdjustingChanged) onAdjustingChanged(true);
    refreshCursor(h);
}

void SelectionChrome::dragTo(const QMouseEvent& event) {
    if (!drag_) return;
    refreshCursor(drag_->handle);
    const Point p = modelPoint(event.position());
    const Rect next = adjusted(drag_->handle, drag_->rect, p - drag_->point, bounds(),
                               event.modifiers() & Qt::ShiftModifier);
    if (onChange) onChange(next);
}

void SelectionChrome::mouseMoveEvent(QMouseEvent* event) {
    if (drag_) {
        dragTo(*event);
        return;
    }
    refreshCursor(handle(modelPoint(event->position())));
}

void SelectionChrome::mouseReleaseEvent(QMouseEvent* event) {
    if (!drag_) {
        event->ignore();
        return;
    }
    dragTo(*event);
    drag_.reset();
    if (onAdjustingChanged) onAdjustingChanged(false);
    refreshCursor(handle(modelPoint(event->position())));
}

void SelectionChrome::mouseDoubleClickEvent(QMouseEvent* event) {
    drag_.reset();
    if (event->button() == Qt::LeftButton && onCopy) onCopy();
}

void SelectionChrome::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    refreshMask();
}

}  // namespace tessal
