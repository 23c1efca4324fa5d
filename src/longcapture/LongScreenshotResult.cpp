#include "LongScreenshotResult.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>

#include "annotation/ToolbarButtons.h"
#include "tools/WindowPlacement.h"

namespace tessal {

double LongScreenshotResult::displayScale(int pixelWidth) {
    return pixelWidth > 0 ? std::min(880.0 / pixelWidth, 1.0) : 1.0;
}

LongScreenshotResult::LongScreenshotResult(const QImage& image, const QString& title,
                                           std::function<bool(const EncodedImage&)> onPin,
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
    host_.onClose = [this] { requestClose(); };
    host_.presentRecognition = environment_.recognizeText;
    host_.onRecognizeText = [this](bool copy) { host_.recognizeText(copy, nullptr); };
    host_.onPin = [this] {
        if (saving_ || closed_) return;
        saving_ = true;
        host_.encode([this](const std::optional<EncodedImage>& encoded) {
            saving_ = false;
            if (encoded && !closed_ && onPin_ && onPin_(*encoded)) {
                host_.pinned(encoded->png);
                closeWindow();
            }
        });
    };
    host_.attach(canvas, toolbar, &edits_, ToolbarIndex::select);

    setMinimumSize(std::max(toolbar->width() + 32, 500), 420);
    placeUnderPointer(*this, QSize(920, 720));
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

void LongScreenshotResult::saveThenClose() {
    if (saving_ || closed_ || !host_.canvas() || !environment_.chooseSavePath) return;
    host_.canvas()->model().commitText();
    const auto path = environment_.chooseSavePath();
    if (!path) return;
    saving_ = true;
    host_.saveTo(*path, [this](bool saved) {
        saving_ = false;
        // Marks drawn while the file was being written are not in it: the window stays.
        if (saved && edits_.isClean()) closeWindow();
    });
}

void LongScreenshotResult::saveImage() {
    saveThenClose();
}

AlertSpec LongScreenshotResult::discardQuestion() {
    return {
        QCoreApplication::translate("LongScreenshotResult", "是否保存对截图所做的标注？"),
        QCoreApplication::translate("LongScreenshotResult", "如果不保存，新添加的标注将会丢失。"),
        {QCoreApplication::translate("LongScreenshotResult", "保存"),
         QCoreApplication::translate("LongScreenshotResult", "继续编辑"),
         QCoreApplication::translate("LongScreenshotResult", "不保存")},
        AlertSpec::Severity::warning};
}

bool LongScreenshotResult::confirmClose() {
    if (closed_ || !environment_.ask) return true;
    // The save under way closes the window once its file is written.
    if (saving_) return false;
    if (host_.canvas()) host_.canvas()->model().commitText();
    if (edits_.isClean()) return true;
    // "继续编辑" is the second button, which closing the question also answers.
    switch (environment_.ask(discardQuestion())) {
        case 0:
            saveThenClose();
            return false;
        case 2:
            return true;
        default:
            return false;
    }
}

void LongScreenshotResult::requestClose() {
    if (confirmClose()) closeWindow();
}

void LongScreenshotResult::closeWindow() {
    if (closed_) return;
    closed_ = true;
    edits_.clear();
    close();
    if (onClose) onClose();
}

void LongScreenshotResult::closeEvent(QCloseEvent* event) {
    if (!confirmClose()) {
        event->ignore();
        return;
    }
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
