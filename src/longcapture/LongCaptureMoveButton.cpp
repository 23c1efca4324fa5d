#include "LongCaptureMoveButton.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>

#include "LongCaptureRegionView.h"

namespace tessal {

LongCaptureMoveButton::LongCaptureMoveButton(QWidget* parent)
    : ToolbarIconButton(QStringLiteral("action-move-region"), QString(), parent) {
    setCursor(Qt::OpenHandCursor);
    setFocusPolicy(Qt::NoFocus);
    const QString hint =
        QCoreApplication::translate("LongCaptureMoveButton", "拖动选区 · 采集中沿截图方向延伸");
    setToolTip(hint);
    setAccessibleName(hint);
}

void LongCaptureMoveButton::mousePressEvent(QMouseEvent* event) {
    if (!isEnabled() || event->button() != Qt::LeftButton) return;
    origin_ = globalPointFromQt(event->globalPosition());
    QApplication::setOverrideCursor(Qt::ClosedHandCursor);
    if (onBegin) onBegin();
}

void LongCaptureMoveButton::report(const QPointF& globalQt) {
    if (!origin_) return;
    const Point p = globalPointFromQt(globalQt);
    if (onMove) onMove({p.x - origin_->x, p.y - origin_->y});
}

void LongCaptureMoveButton::mouseMoveEvent(QMouseEvent* event) {
    report(event->globalPosition());
}

void LongCaptureMoveButton::mouseReleaseEvent(QMouseEvent* event) {
    if (!origin_ || event->button() != Qt::LeftButton) return;
    report(event->globalPosition());
    endDrag();
}

void LongCaptureMoveButton::endDrag() {
    if (!origin_) return;
    origin_.reset();
    QApplication::restoreOverrideCursor();
    if (onEnd) onEnd();
}

}  // namespace tessal
