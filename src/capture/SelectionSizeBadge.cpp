#include "SelectionSizeBadge.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

#include "SelectionDrawing.h"
#include "SelectionGeometry.h"
#include "base/QtGeometry.h"

namespace tessal {

SelectionSizeBadge::SelectionSizeBadge(QWidget* parent) : QWidget(parent) {
    font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font_.setPixelSize(12);
    font_.setWeight(QFont::Medium);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void SelectionSizeBadge::update(const std::optional<Rect>& selection, Size screenSize,
                                QSize imageSize, const Rect& within) {
    if (!selection) {
        hide();
        return;
    }
    text_ = selectionSizeText(*selection, screenSize, imageSize);
    const Rect frame =
        sizeBadgeFrame(QFontMetricsF(font_).horizontalAdvance(text_), *selection, within);
    setGeometry(viewRect(frame, within.maxY()).toRect());
    show();
    QWidget::update();
}

void SelectionSizeBadge::setOnEdit(std::function<void()> onEdit) {
    onEdit_ = std::move(onEdit);
    setAttribute(Qt::WA_TransparentForMouseEvents, !onEdit_);
    setCursor(onEdit_ ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void SelectionSizeBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawBadgeFace(painter, rect());
    painter.setFont(font_);
    painter.setPen(Qt::white);
    // The text's baseline sits 5 points above the badge's bottom edge.
    const QFontMetricsF metrics(font_);
    painter.drawText(QPointF(10, height() - 5 - metrics.descent()), text_);
}

void SelectionSizeBadge::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onEdit_) onEdit_();
}

}  // namespace tessal
