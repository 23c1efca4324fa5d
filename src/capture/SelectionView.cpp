#include "SelectionView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>
#include <utility>

#include "KeySheet.h"
#include "PixelMagnifier.h"
#include "SelectionDrawing.h"
#include "SelectionSizeBadge.h"
#include "SelectionSizeEditor.h"
#include "base/QtGeometry.h"

namespace tessal {
namespace {

// How far the highlight border reaches beyond its rectangle, for partial repaints.
constexpr int kBorderReach = 4;

}  // namespace

SelectionView::SelectionView(SelectionViewModel& model, QWidget* parent)
    : QWidget(parent), model_(model), image_(model.snapshot().image) {
    const Rect b = model_.bounds();
    resize(int(b.width()), int(b.height()));
    // One image pixel per device pixel, whatever the display's scale.
    if (b.width() > 0) image_.setDevicePixelRatio(image_.width() / b.width());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);

    sizeBadge_ = new SelectionSizeBadge(this);
    sizeEditor_ = new SelectionSizeEditor(this);
    magnifier_ = new PixelMagnifier(model_.snapshot().image, this);
    keySheet_ = new KeySheet(this);
    model_.onRepaint = [this] { updateSelectionLayers(); };
    model_.onMagnifier = [this](std::optional<Point> p) {
        if (p)
            magnifier_->update(*p, model_.bounds());
        else
            magnifier_->hide();
    };
}

SelectionView::~SelectionView() {
    model_.onRepaint = nullptr;
    model_.onMagnifier = nullptr;
}

void SelectionView::warmUp(MainQueue& mainQueue, const Clock& clock) {
    constexpr int kSide = 160;
    ScreenSnapshot snapshot;
    snapshot.frame = Rect(0, 0, kSide, kSide);
    snapshot.image = QImage(kSide, kSide, QImage::Format_RGB32);
    snapshot.image.fill(Qt::gray);
    snapshot.windows = {Rect(20, 20, 100, 100)};
    SelectionViewModel model(std::move(snapshot), mainQueue, clock, {});
    SelectionView view(model, nullptr);
    model.updateHover({60, 60});  // the badge and the magnifier follow the hovered window
    view.litArea();
    QImage frame(view.size(), QImage::Format_RGB32);
    view.render(&frame);
    view.sizeEditor().render(&frame);
    view.keySheet().render(&frame);
}

Point SelectionView::modelPoint(const QPointF& q) const {
    return pointFromView(q, viewHeight());
}

void SelectionView::updateSelectionLayers() {
    const std::optional<Rect> shown = model_.displayedRect();
    const Rect b = model_.bounds();
    sizeBadge_->update(sizeEditor_->editing() ? std::nullopt : shown, Size{b.width(), b.height()},
                       model_.snapshot().image.size(), b);
    // Only the old and the new rectangle change (shade and border); the rest stays as it was.
    if (shown != painted_ || model_.selected() != paintedSelected_) {
        QRegion dirty;
        for (const auto& r : {painted_, shown}) {
            if (r)
                dirty += viewRect(*r, viewHeight())
                             .toAlignedRect()
                             .adjusted(-kBorderReach, -kBorderReach, kBorderReach, kBorderReach);
        }
        if (model_.selected() != paintedSelected_ || dirty.isEmpty()) dirty = rect();
        painted_ = shown;
        paintedSelected_ = model_.selected();
        update(dirty);
    }
}

void SelectionView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    paintContent(painter, event->rect(), devicePixelRatioF());
    if (onFirstPaint) std::exchange(onFirstPaint, nullptr)();
}

void SelectionView::paintContent(QPainter& painter, const QRect& exposed, double scale) const {
    const double s = image_.devicePixelRatio();
    painter.drawImage(QRectF(exposed), image_,
                      QRectF(QPointF(exposed.topLeft()) * s, QSizeF(exposed.size()) * s));
    // Black at 40 % over everything but the displayed rectangle.
    const std::optional<Rect> shown = model_.displayedRect();
    QRegion shade(exposed);
    if (shown) shade -= viewRect(*shown, viewHeight()).toAlignedRect();
    painter.setClipRegion(shade);
    painter.fillRect(exposed, QColor(0, 0, 0, 102));
    painter.setClipping(false);
    if (shown && !model_.selected()) drawSelectionBorder(painter, *shown, viewHeight(), scale);
}

std::optional<SelectionView::LitArea> SelectionView::litArea() const {
    const std::optional<Rect> shown = model_.displayedRect();
    if (!shown) return std::nullopt;
    const QRect area = viewRect(*shown, viewHeight())
                           .toAlignedRect()
                           .adjusted(-kBorderReach, -kBorderReach, kBorderReach, kBorderReach)
                           .intersected(rect());
    if (area.isEmpty()) return std::nullopt;
    // In the display's own pixels, with the border as the overlay draws it.
    const double pixelScale = image_.devicePixelRatio();
    QImage pixels(QSize(int(std::lround(area.width() * pixelScale)),
                        int(std::lround(area.height() * pixelScale))),
                  QImage::Format_RGB32);
    if (pixels.isNull()) return std::nullopt;
    pixels.setDevicePixelRatio(pixelScale);
    QPainter painter(&pixels);
    painter.translate(-area.topLeft());
    paintContent(painter, area, devicePixelRatioF());
    return LitArea{area, std::move(pixels)};
}

void SelectionView::refreshCursor(Point p) {
    if (!model_.selected()) {
        setCursor(Qt::CrossCursor);
        return;
    }
    std::vector<Rect> excluded;
    if (model_.selection()) excluded.push_back(model_.selection()->insetBy(-8, -8));
    if (excludedCursorAreas) {
        for (const Rect& r : excludedCursorAreas()) excluded.push_back(r);
    }
    const bool inside =
        std::any_of(excluded.begin(), excluded.end(), [p](const Rect& r) { return r.contains(p); });
    setCursor(inside ? Qt::ArrowCursor : Qt::ForbiddenCursor);
}

void SelectionView::mouseMoveEvent(QMouseEvent* event) {
    const Point p = modelPoint(event->position());
    if (event->buttons() & Qt::LeftButton)
        model_.mouseDragged(p);
    else
        model_.updateHover(p);
    refreshCursor(p);
}

void SelectionView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (onRightClick) onRightClick(event);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    activateWindow();
    setFocus();
    model_.mouseDown(modelPoint(event->position()));
}

void SelectionView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const Point p = modelPoint(event->position());
    model_.mouseUp(p);
    refreshCursor(p);
}

void SelectionView::wheelEvent(QWheelEvent* event) {
    // Scrolling up (a positive angle) walks towards larger regions.
    const QPoint angle = event->angleDelta();
    const double delta = angle.y() != 0 ? angle.y() : event->pixelDelta().y();
    model_.scrollWheel(delta);
}

void SelectionView::enterEvent(QEnterEvent* event) {
    model_.updateHover(modelPoint(event->position()));
}

void SelectionView::leaveEvent(QEvent*) {
    model_.mouseExited();
}

void SelectionView::keyPressEvent(QKeyEvent* event) {
    if (!onKey || !onKey(event)) QWidget::keyPressEvent(event);
}

void SelectionView::keyReleaseEvent(QKeyEvent* event) {
    if (!onKey || !onKey(event)) QWidget::keyReleaseEvent(event);
}

}  // namespace tessal
