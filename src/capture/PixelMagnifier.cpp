#include "PixelMagnifier.h"

#include <QPainter>

#include "SelectionGeometry.h"
#include "annotation/CopiedNote.h"
#include "base/QtGeometry.h"
#include "platform/KeyCodes.h"
#include "platform/Pasteboard.h"

namespace tessal {
namespace {

// Panel layout in panel points, y up, as drawn.
constexpr Rect kGrid(11, 59, 168, 104);

}  // namespace

PixelMagnifier::PixelMagnifier(const QImage& image, QWidget* parent)
    : QWidget(parent), image_(image), labelFont_(CopiedNote::labelFont()) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(int(magnifierSize.width), int(magnifierSize.height));
    hide();
}

void PixelMagnifier::update(Point p, const Rect& bounds) {
    const PixelSample next = samplePixel(image_, p, bounds);
    if (!sample_ || sample_->x != next.x || sample_->y != next.y) copied_ = false;
    sample_ = next;
    const Rect frame = magnifierFrame(p, bounds);
    move(viewRect(frame, bounds.height()).topLeft().toPoint());
    show();
    QWidget::update();
}

bool PixelMagnifier::copyColor(Pasteboard& pasteboard) {
    if (!sample_) return false;
    copied_ = pasteboard.setText(sample_->hex());
    QWidget::update();
    return copied_;
}

void PixelMagnifier::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double h = height();
    CopiedNote::paintPanel(painter, rect());
    if (!sample_) return;

    const QRectF grid = viewRect(kGrid, h);
    painter.save();
    painter.setClipRect(grid);
    painter.fillRect(grid, QColor::fromRgbF(0.9, 0.9, 0.9));
    // The 21 × 13 block around the sample, top-left pixel at the grid's top-left corner;
    // pixels outside the image leave the grey showing.
    const QRect block(sample_->x - magnifierColumns / 2, sample_->y - magnifierRows / 2,
                      magnifierColumns, magnifierRows);
    const QRect inside = block.intersected(image_.rect());
    if (!inside.isEmpty()) {
        const QRectF target(grid.left() + (inside.left() - block.left()) * magnifierPixel,
                            grid.top() + (inside.top() - block.top()) * magnifierPixel,
                            inside.width() * magnifierPixel, inside.height() * magnifierPixel);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.drawImage(target, image_, inside);
        painter.setRenderHint(QPainter::Antialiasing);
    }
    const QPointF mid = grid.center();
    const QColor border(selectionBorderRed, selectionBorderGreen, selectionBorderBlue);
    for (const auto& [colour, width] :
         {std::pair{QColor(Qt::white), 3.0}, std::pair{border, 1.0}}) {
        painter.setPen(QPen(colour, width));
        painter.drawLine(QPointF(mid.x(), grid.top()), QPointF(mid.x(), grid.bottom()));
        painter.drawLine(QPointF(grid.left(), mid.y()), QPointF(grid.right(), mid.y()));
    }
    painter.restore();

    painter.setFont(labelFont_);
    CopiedNote::setLabelPen(painter);
    // Texts sit on their y-up baselines.
    painter.drawText(QPointF(12, h - 37),
                     QStringLiteral("X %1  Y %2").arg(sample_->x).arg(sample_->y));
    const QRectF swatch = viewRect(Rect(12, 13, 16, 16), h);
    painter.fillRect(swatch, sample_->color);
    painter.setPen(QPen(QColor(200, 200, 200), 1));
    painter.drawRect(swatch);
    CopiedNote::setLabelPen(painter);
    painter.drawText(QPointF(35, h - 13), sample_->hex());
    painter.drawText(QPointF(137, h - 13), copied_ ? CopiedNote::text() : nativeKeys("Alt+C"));
}

}  // namespace tessal
