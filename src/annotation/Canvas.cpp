#include "Canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "AnnotationTextView.h"
#include "CanvasRenderer.h"
#include "base/QtGeometry.h"
#include "platform/KeyCodes.h"

namespace tessal {

QCursor brushCursor(double strokeWidth) {
    const double d = std::max(10 * strokeWidth, 18.0);
    const int side = int(std::ceil(d + 4));
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(2, 2, d, d);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawEllipse(circle);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawEllipse(circle);
    return QCursor(pixmap, side / 2, side / 2);
}

Canvas::Canvas(std::unique_ptr<CanvasModel> model, QWidget* parent)
    : QWidget(parent), model_(std::move(model)) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(int(std::lround(model_->size().width)), int(std::lround(model_->size().height)));
    model_->onChanged = [this] {
        update();
        refreshCursor();
    };
    model_->onTextField = [this] { syncTextField(); };
    refreshCursor();
}

Canvas::~Canvas() {
    model_->onChanged = nullptr;
    model_->onTextField = nullptr;
}

Point Canvas::modelPoint(const QPointF& q) const {
    return pointFromView(q, model_->size().height);
}

void Canvas::syncGeometry(const QRect& frame) {
    setGeometry(frame);
    update();
}

void Canvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    model_->setSize({double(width()), double(height())});
}

void Canvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CanvasRenderer::paint(painter, *model_, true, &layers_);
}

void Canvas::refreshCursor() {
    if (model_->brushPainting()) {
        setCursor(brushCursor(model_->strokeWidth));
        return;
    }
    setCursor(model_->selectionOnly ? Qt::ArrowCursor : Qt::CrossCursor);
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setFocus();
    model_->mouseDown(modelPoint(event->position()), 1);
}

void Canvas::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    model_->mouseDown(modelPoint(event->position()), 2);
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        model_->mouseDragged(modelPoint(event->position()), event->modifiers() & Qt::ShiftModifier);
}

void Canvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    model_->mouseUp(modelPoint(event->position()), event->modifiers() & Qt::ShiftModifier);
}

void Canvas::keyPressEvent(QKeyEvent* event) {
    const KeyPress press = keyPressFromEvent(*event);
    if (!model_->keyDown(press.keyCode, press.shift)) event->ignore();
}

void Canvas::wheelEvent(QWheelEvent* event) {
    const double delta =
        event->angleDelta().y() != 0 ? event->angleDelta().y() : event->pixelDelta().y();
    if (!model_->scrollWheel(delta)) event->ignore();
}

void Canvas::syncTextField() {
    const auto& field = model_->textField();
    if (!field) {
        if (textView_) {
            AnnotationTextView* view = textView_;
            textView_ = nullptr;
            view->onFinish = nullptr;
            view->onCancel = nullptr;
            view->hide();
            view->deleteLater();
            setFocus();
        }
        return;
    }
    if (!textView_) {
        textView_ = new AnnotationTextView(this);
        textView_->setStringValue(field->text);
        textView_->onFinish = [this] {
            model_->commitText();
            setFocus();
        };
        textView_->onCancel = [this] { model_->cancelText(); };
        connect(textView_, &QPlainTextEdit::textChanged, this, [this] {
            if (textView_) model_->textChanged(textView_->toPlainText());
        });
        textView_->show();
        textView_->setFocus();
    }
    QFont font = model_->fieldFont();
    textView_->setFont(font);
    QPalette palette = textView_->palette();
    palette.setColor(QPalette::Text, model_->ink);
    textView_->setPalette(palette);
    textView_->setGeometry(viewRect(field->frame, model_->size().height).toAlignedRect());
}

}  // namespace tessal
