#include "KeySheet.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "base/QtGeometry.h"

namespace tessal {
namespace {

constexpr double kPadding = 16;
constexpr double kColumnGap = 28;
constexpr double kKeyGap = 12;
constexpr double kTitleGap = 8;

}  // namespace

KeySheet::KeySheet(QWidget* parent) : QWidget(parent), columns_(KeySheetModel::columns()) {
    setObjectName(QStringLiteral("keySheet"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QCoreApplication::translate("KeySheet", "按键说明"));
    font_ = font();
    font_.setPixelSize(13);
    titleFont_ = font_;
    titleFont_.setWeight(QFont::DemiBold);
    const QFontMetricsF metrics(font_), titleMetrics(titleFont_);
    rowHeight_ = std::ceil(metrics.height() + 5);
    double width = 2 * kPadding, tallest = 0;
    for (const auto& column : columns_) {
        double keys = 0, meanings = 0;
        for (const auto& entry : column.entries) {
            keys = std::max(keys, metrics.horizontalAdvance(entry.keys));
            meanings = std::max(meanings, metrics.horizontalAdvance(entry.meaning));
        }
        const double columnWidth =
            std::max(keys + kKeyGap + meanings, titleMetrics.horizontalAdvance(column.title));
        keyWidths_.push_back(keys);
        columnWidths_.push_back(std::ceil(columnWidth));
        width += columnWidths_.back();
        tallest = std::max(tallest, double(column.entries.size()));
    }
    width += kColumnGap * double(columns_.size() - 1);
    const double height =
        2 * kPadding + std::ceil(titleMetrics.height()) + kTitleGap + tallest * rowHeight_;
    resize(int(std::ceil(width)), int(std::ceil(height)));
    hide();
}

void KeySheet::place(const std::vector<Rect>& avoid) {
    if (!parentWidget()) return;
    const double h = parentWidget()->height();
    const Rect bounds(0, 0, parentWidget()->width(), h);
    const Rect frame = KeySheetModel::frame({double(width()), double(height())}, bounds, avoid);
    move(viewRect(frame, h).topLeft().toPoint());
}

void KeySheet::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath panel;
    panel.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    painter.fillPath(panel, QColor(20, 20, 22, 225));
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1));
    painter.drawPath(panel);

    const QFontMetricsF titleMetrics(titleFont_), metrics(font_);
    double x = kPadding;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        double y = kPadding + titleMetrics.ascent();
        painter.setFont(titleFont_);
        painter.setPen(QColor(255, 255, 255));
        painter.drawText(QPointF(x, y), columns_[c].title);
        y += titleMetrics.descent() + kTitleGap + metrics.ascent();
        painter.setFont(font_);
        for (const auto& entry : columns_[c].entries) {
            painter.setPen(QColor(255, 214, 102));
            painter.drawText(QPointF(x, y), entry.keys);
            painter.setPen(QColor(235, 235, 235));
            painter.drawText(QPointF(x + keyWidths_[c] + kKeyGap, y), entry.meaning);
            y += rowHeight_;
        }
        x += columnWidths_[c] + kColumnGap;
    }
}

}  // namespace tessal
