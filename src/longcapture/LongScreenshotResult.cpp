#include "LongScreenshotResult.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>

#include "annotation/ToolbarButtons.h"

namespace tessal {

double LongScreenshotResult::displayScale(int pixelWidth) {
    return pixelWidth > 0 ? std::min(880.0 / pixelWidth, 1.0) : 1.0;
}

LongScreenshotResult::LongScreenshotResult(const QImage& image, const QString& title,
                                           std::function<bool(const QByteArray&)> onPin,
                                           ResultEnvironment environment)
    : QWidget(nullptr),
      environment_(std::move(environment)),
      onPin_(std::move(onPin)),
      host_(environment_.defaults, environment_.pasteboard, environment_.mainQueue,
            environment_.showError, environment_.history) {
    setWindowTitle(
        QStringLiteral("Tessal · %1 %2 × %3 px").arg(title).arg(image.width()).arg(image.height()));
    setAttribute(Qt::WA_DeleteOnClose, false);

    const double scale = displayScale(image.width());
    auto model = std::make_unique<CanvasModel>(image, image.width(), image.height(), &edits_,
                                               environment_.clock);
    const Size shown{image.width() * scale, image.height() * scale};
    auto* canvas = new Canvas(std::move(model), nullptr);
    canvas->setFixedSize(int(std::lround(shown.width)), int(std::lround(shown.height)));
    canvas->model().setSize(shown);

    scroll_ = new QScrollArea(this);
    scroll_->setWidget(canvas);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    // The image is the whole canvas: there is no selection to move.
    auto* toolbar = new AnnotationToolbar(900, environment_.mainQueue, this);
    toolbar->disableTool(ToolbarIndex::move);
    toolbar->disableActions({ToolbarActionId::longCapture});
    if (!environment_.recognizeText) toolbar->disableActions({ToolbarActionId::recognizeText});
    if (!onPin_) toolbar->disableActions({ToolbarActionId::pin});
    toolbar->onLayoutChange = [this] { layoutContent(); };

    host_.onSave = [this] { saveImage(); };
    host_.onClose = [this] { closeWindow(); };
    host_.presentRecognition = environment_.recognizeText;
    host_.onRecognizeText = [this](bool copy) { host_.recognizeText(copy, nullptr); };
    host_.onPin = [this] {
        const auto png = host_.png();
        if (png && onPin_ && onPin_(*png)) {
            host_.pinned(*png);
            closeWindow();
        }
    };
    host_.attach(canvas, toolbar, &edits_, ToolbarIndex::select);

    resize(920, 720);
    setMinimumSize(std::max(toolbar->width() + 32, 500), 420);
    layoutContent();
    scroll_->verticalScrollBar()->setValue(0);
}

LongScreenshotResult::~LongScreenshotResult() {
    host_.detach();
}

void LongScreenshotResult::layoutContent() {
    AnnotationToolbar* toolbar = host_.toolbar();
    if (!toolbar || !scroll_) return;
    toolbar->move(10, 10);
    const int top = toolbar->y() + toolbar->height() + 10;
    scroll_->setGeometry(10, top, width() - 20, std::max(height() - top - 10, 1));
}

void LongScreenshotResult::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutContent();
}

void LongScreenshotResult::copyImage() {
    host_.copy();
}

void LongScreenshotResult::saveImage() {
    if (!host_.canvas() || !environment_.chooseSavePath) return;
    host_.canvas()->model().commitText();
    const auto path = environment_.chooseSavePath();
    if (path && host_.saveTo(*path)) closeWindow();
}

void LongScreenshotResult::closeWindow() {
    if (closed_) return;
    closed_ = true;
    edits_.clear();
    close();
    if (onClose) onClose();
}

void LongScreenshotResult::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (!closed_) {
        closed_ = true;
        edits_.clear();
        if (onClose) onClose();
    }
}

bool LongScreenshotResult::handleKey(const KeyPress& press, bool repeat) {
    return host_.handleKey(press, repeat);
}

void LongScreenshotResult::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(keyPressFromEvent(*event), event->isAutoRepeat())) QWidget::keyPressEvent(event);
}

}  // namespace tessal
