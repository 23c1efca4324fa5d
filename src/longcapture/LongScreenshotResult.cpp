#include "LongScreenshotResult.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>

#include "annotation/AnnotationPreferences.h"
#include "annotation/CanvasRenderer.h"
#include "annotation/ScreenshotExport.h"
#include "annotation/ToolbarButtons.h"
#include "platform/Pasteboard.h"

namespace tessal {

double LongScreenshotResult::displayScale(int pixelWidth) {
    return pixelWidth > 0 ? std::min(880.0 / pixelWidth, 1.0) : 1.0;
}

LongScreenshotResult::LongScreenshotResult(const QImage& image, const QString& title,
                                           std::function<bool(const QByteArray&)> onPin,
                                           ResultEnvironment environment)
    : QWidget(nullptr), environment_(std::move(environment)), onPin_(std::move(onPin)) {
    setWindowTitle(
        QStringLiteral("Tessal · %1 %2 × %3 px").arg(title).arg(image.width()).arg(image.height()));
    setAttribute(Qt::WA_DeleteOnClose, false);

    const double scale = displayScale(image.width());
    auto model = std::make_unique<CanvasModel>(image, image.width(), image.height(), &edits_,
                                               environment_.clock);
    const Size shown{image.width() * scale, image.height() * scale};
    canvas_ = new Canvas(std::move(model), nullptr);
    canvas_->setFixedSize(int(std::lround(shown.width)), int(std::lround(shown.height)));
    canvas_->model().setSize(shown);
    canvas_->model().onCopy = [this] { copyImage(); };

    scroll_ = new QScrollArea(this);
    scroll_->setWidget(canvas_);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    toolbar_ = new AnnotationToolbar(900, environment_.mainQueue, this);
    QStringList disabled{QStringLiteral("长截图"), QStringLiteral("移动选区"),
                         QStringLiteral("识别文字")};
    if (!onPin_) disabled << QStringLiteral("贴图");
    toolbar_->disableActions(disabled);
    toolbar_->onLayoutChange = [this] { layoutContent(); };

    CanvasModel& cm = canvas_->model();
    AnnotationPreferences::load(environment_.defaults).applyTo(cm);
    cm.selectionOnly = true;
    toolbar_->selectTool(1);
    toolbar_->updateStyle(cm.ink, cm.strokeWidth);
    toolbar_->setFontSize(cm.fontSize);

    toolbar_->onTool = [this](int index) {
        CanvasModel& m = canvas_->model();
        m.commitText();
        m.selectionOnly = index <= 1;
        if (index >= 2) m.tool = toolFromRaw(index - 2).value_or(Tool::rectangle);
        m.selectMark(std::nullopt);
        canvas_->refreshCursor();
        canvas_->setFocus();
    };
    toolbar_->onColor = [this](QColor c) {
        canvas_->model().applyStyle(c, std::nullopt);
        rememberStyle();
    };
    toolbar_->onWidth = [this](double w) {
        canvas_->model().applyStyle(std::nullopt, w);
        rememberStyle();
    };
    toolbar_->onFontSize = [this](double size) {
        canvas_->model().applyFontSize(size);
        rememberStyle();
    };
    toolbar_->onMosaicMode = [this](MosaicMode mode) {
        toolbar_->selectTool(7);
        toolbar_->onTool(7);
        canvas_->model().mosaicMode = mode;
        canvas_->model().clearDraft();
        canvas_->refreshCursor();
        rememberStyle();
    };
    toolbar_->onUndo = [this] { edits_.undo(); };
    toolbar_->onRedo = [this] { edits_.redo(); };
    toolbar_->onPin = [this] {
        const auto png = CanvasRenderer::png(canvas_->model());
        if (png && onPin_ && onPin_(*png)) closeWindow();
    };
    toolbar_->onCopy = [this] { copyImage(); };
    toolbar_->onSave = [this] { saveImage(); };
    toolbar_->onClose = [this] { closeWindow(); };
    cm.onStyleChange = [this] {
        const CanvasModel& m = canvas_->model();
        toolbar_->updateStyle(m.ink, m.strokeWidth);
        toolbar_->setFontSize(m.fontSize);
    };

    resize(920, 720);
    setMinimumSize(std::max(toolbar_->width() + 32, 500), 420);
    layoutContent();
    scroll_->verticalScrollBar()->setValue(0);
}

LongScreenshotResult::~LongScreenshotResult() {
    if (canvas_) canvas_->model().onStyleChange = nullptr;
}

void LongScreenshotResult::layoutContent() {
    if (!toolbar_ || !scroll_) return;
    toolbar_->move(10, 10);
    const int top = toolbar_->y() + toolbar_->height() + 10;
    scroll_->setGeometry(10, top, width() - 20, std::max(height() - top - 10, 1));
}

void LongScreenshotResult::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutContent();
}

void LongScreenshotResult::rememberStyle() {
    AnnotationPreferences::of(canvas_->model()).save(environment_.defaults);
}

void LongScreenshotResult::copyImage() {
    const auto png = CanvasRenderer::png(canvas_->model());
    if (!png) return;
    switch (ScreenshotExport::copy(*png, environment_.pasteboard, environment_.defaults)) {
        case ScreenshotExport::CopyOutcome::close:
            closeWindow();
            break;
        case ScreenshotExport::CopyOutcome::stayOpen:
            toolbar_->flashCopied();
            break;
        case ScreenshotExport::CopyOutcome::refused:
            break;
    }
}

void LongScreenshotResult::saveImage() {
    canvas_->model().commitText();
    if (!environment_.chooseSavePath) return;
    const auto path = environment_.chooseSavePath();
    if (!path || path->isEmpty()) return;
    const auto png = CanvasRenderer::png(canvas_->model());
    if (!png) return;
    if (ScreenshotExport::save(*png, *path, environment_.defaults, environment_.showError))
        closeWindow();
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
    CanvasModel& m = canvas_->model();
    if (canvas_->editingText()) return false;
    if (!m.draft() && !m.dragging() && toolbar_->handleShortcut(press, repeat)) return true;
    if (press.keyCode == KeyCode::escape) {
        if (!m.cancelInteraction()) closeWindow();
        return true;
    }
    if (press.keyCode == KeyCode::returnKey && !press.control && !press.option && !press.command) {
        copyImage();
        return true;
    }
    if (press.control && !press.shift && !press.option) {
        if (press.keyCode == KeyCode::c) return copyImage(), true;
        if (press.keyCode == 1) return saveImage(), true;  // S
        if (press.keyCode == 35 && toolbar_->action(QStringLiteral("贴图"))->isEnabled())
            return toolbar_->onPin(), true;  // P
    }
    return m.keyDown(press.keyCode, press.shift);
}

void LongScreenshotResult::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(keyPressFromEvent(*event), event->isAutoRepeat())) QWidget::keyPressEvent(event);
}

}  // namespace tessal
