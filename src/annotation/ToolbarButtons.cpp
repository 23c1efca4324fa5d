#include "ToolbarButtons.h"

#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include "NamedColors.h"

namespace tessal {
namespace {

const QColor kLabel(30, 30, 32);
const QColor kDisabled(170, 170, 175);

// The rounded accent backdrop of a button that is on.
void fillOn(QPainter& painter, const QRect& bounds) {
    QColor on = NamedColor::accent();
    on.setAlphaF(0.18);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(bounds).adjusted(1, 1, -1, -1), 6, 6);
    painter.fillPath(shape, on);
}

}  // namespace

QPixmap tintedIcon(const QString& name, const QColor& colour, double size, double dpr) {
    const int pixels = int(std::ceil(size * dpr));
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(name));
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(QRectF(0, 0, pixels, pixels), colour);
    painter.end();
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

HoverButton::HoverButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void HoverButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void HoverButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void HoverButton::drawHover(QPainter& painter) {
    if (!isEnabled() || !(hovered_ || isDown())) return;
    QColor fill = tint == NamedColor::systemRed()     ? NamedColor::systemRed()
                  : tint == NamedColor::systemGreen() ? NamedColor::systemGreen()
                                                      : NamedColor::accent();
    fill.setAlphaF(isDown() ? 0.24 : 0.12);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
    painter.fillPath(shape, fill);
}

ToolbarIconButton::ToolbarIconButton(const QString& icon, const QString& hint, QWidget* parent)
    : HoverButton(parent), icon_(icon), hint_(hint) {
    setFixedSize(sizeHint());
}

void ToolbarIconButton::setIconName(const QString& icon) {
    icon_ = icon;
    update();
}

QSize ToolbarIconButton::sizeHint() const {
    if (hint_.isEmpty()) return {30, 30};
    return {std::max(8 * int(hint_.size()) + 8, 30), 48};
}

void ToolbarIconButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    drawHover(painter);
    if (indicatesSelection && isChecked()) fillOn(painter, rect());
    const QColor colour = !isEnabled() ? kDisabled : (tint.isValid() ? tint : kLabel);
    const double top = hint_.isEmpty() ? (height() - 18) / 2.0 : 6;
    painter.drawPixmap(QPointF((width() - 18) / 2.0, top),
                       tintedIcon(icon_, colour, 18, devicePixelRatioF()));
    if (!hint_.isEmpty()) {
        QFont font = this->font();
        font.setPixelSize(12);
        font.setWeight(QFont::Medium);
        painter.setFont(font);
        painter.setPen(isEnabled() ? kLabel : kDisabled);
        painter.drawText(QRectF(0, 0, width(), height() - 3), Qt::AlignHCenter | Qt::AlignBottom,
                         hint_);
    }
}

ColorSwatchButton::ColorSwatchButton(const QColor& c, QWidget* parent)
    : HoverButton(parent), color(c) {
    setCheckable(true);
    setFixedSize(sizeHint());
}

void ColorSwatchButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    drawHover(painter);
    const QPointF centre = QRectF(rect()).center();
    QColor outline = kLabel;
    outline.setAlphaF(0.25);
    painter.setPen(QPen(outline, 0.5));
    painter.setBrush(color);
    painter.drawEllipse(centre, 7, 7);
    if (isChecked() || isDown()) {
        painter.setPen(QPen(NamedColor::accent(), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, 10, 10);
    }
}

StrokeWidthButton::StrokeWidthButton(const QString& name, double width, QWidget* parent)
    : HoverButton(parent), strokeWidth(width) {
    setCheckable(true);
    setText(name);
    const QString tip = QStringLiteral("%1 · %2 pt").arg(name).arg(width, 0, 'f', 1);
    setToolTip(tip);
    setAccessibleName(tip);
    setFixedSize(sizeHint());
}

void StrokeWidthButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    drawHover(painter);
    if (isChecked() || isDown()) fillOn(painter, rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLabel);
    const double d = strokeWidth + 3;
    painter.drawEllipse(QRectF(rect()).center(), d / 2, d / 2);
}

}  // namespace tessal
