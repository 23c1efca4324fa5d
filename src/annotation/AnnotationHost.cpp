#include "AnnotationHost.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QUndoStack>

#include "AnnotationPreferences.h"
#include "CanvasRenderer.h"
#include "CopiedNote.h"
#include "ScreenshotExport.h"
#include "ToolbarModel.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "imaging/PngEncoder.h"
#include "tools/ScreenshotHistory.h"

namespace tessal {
namespace {

bool focusIsText() {
    QWidget* focus = QApplication::focusWidget();
    return qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) ||
           qobject_cast<QPlainTextEdit*>(focus);
}

bool isArrow(int keyCode) {
    return keyCode == KeyCode::left || keyCode == KeyCode::right || keyCode == KeyCode::down ||
           keyCode == KeyCode::up;
}

}  // namespace

AnnotationHost::AnnotationHost(DefaultsStore& defaults, Pasteboard& pasteboard,
                               MainQueue& mainQueue,
                               std::function<void(const AlertSpec&)> showError,
                               ScreenshotHistory* history)
    : defaults_(defaults),
      pasteboard_(pasteboard),
      mainQueue_(mainQueue),
      showError_(std::move(showError)),
      history_(history) {}

AnnotationHost::~AnnotationHost() {
    detach();
}

void AnnotationHost::attach(Canvas* canvas, AnnotationToolbar* toolbar, QUndoStack* edits,
                            int firstTool) {
    canvas_ = canvas;
    toolbar_ = toolbar;
    edits_ = edits;
    CanvasModel& model = canvas_->model();
    AnnotationPreferences::load(defaults_).applyTo(model);
    model.onCopy = [this] { copy(); };
    model.onStyleChange = [this] {
        refreshToolbarStyle();
        rememberStyle();
    };

    toolbar_->onTool = [this](int index) { chooseTool(index); };
    toolbar_->onAction = [this](ToolbarActionId id) { trigger(id); };
    toolbar_->onOCR = [this](bool copyText) {
        if (onRecognizeText && toolbar_->actionEnabled(ToolbarActionId::recognizeText))
            onRecognizeText(copyText);
    };
    toolbar_->onColor = [this](QColor color) {
        canvas_->model().applyStyle(color, std::nullopt);
        rememberStyle();
    };
    toolbar_->onWidth = [this](double width) {
        canvas_->model().applyStyle(std::nullopt, width);
        rememberStyle();
    };
    toolbar_->onFontSize = [this](double size) {
        canvas_->model().applyFontSize(size);
        rememberStyle();
    };
    toolbar_->onMosaicMode = [this](MosaicMode mode) {
        const int mosaic = ToolbarIndex::of(Tool::mosaic);
        toolbar_->selectTool(mosaic);
        chooseTool(mosaic);
        CanvasModel& m = canvas_->model();
        m.mosaicMode = mode;
        m.clearDraft();
        m.selectMark(std::nullopt);
        canvas_->refreshCursor();
        rememberStyle();
    };

    refreshToolbarStyle();
    toolbar_->selectTool(firstTool);
    chooseTool(firstTool);
}

void AnnotationHost::detach() {
    if (canvas_) {
        canvas_->model().onCopy = nullptr;
        canvas_->model().onStyleChange = nullptr;
    }
    if (toolbar_) {
        toolbar_->onTool = nullptr;
        toolbar_->onAction = nullptr;
        toolbar_->onOCR = nullptr;
        toolbar_->onColor = nullptr;
        toolbar_->onWidth = nullptr;
        toolbar_->onFontSize = nullptr;
        toolbar_->onMosaicMode = nullptr;
    }
    canvas_ = nullptr;
    toolbar_ = nullptr;
    edits_ = nullptr;
}

void AnnotationHost::chooseTool(int index) {
    if (!canvas_) return;
    CanvasModel& model = canvas_->model();
    model.commitText();
    // With the move tool the window's chrome takes the pointer (the selection moves), so the
    // canvas keeps its drawing tool for when the chrome lets go.
    model.selectionOnly = index == ToolbarIndex::select;
    if (index != ToolbarIndex::select) model.selectMark(std::nullopt);
    if (const auto tool = toolForIndex(index)) model.tool = *tool;
    if (onToolChosen) onToolChosen(index);
    canvas_->refreshCursor();
    canvas_->setFocus();
}

void AnnotationHost::trigger(ToolbarActionId id) {
    if (!canvas_ || !toolbar_ || !toolbar_->actionEnabled(id)) return;
    auto run = [](const std::function<void()>& f) {
        if (f) f();
    };
    switch (id) {
        case ToolbarActionId::recognizeText:
            if (onRecognizeText) onRecognizeText(false);
            break;
        case ToolbarActionId::longCapture:
            run(onLongCapture);
            break;
        case ToolbarActionId::undo:
            if (edits_) edits_->undo();
            break;
        case ToolbarActionId::redo:
            if (edits_) edits_->redo();
            break;
        case ToolbarActionId::pin:
            run(onPin);
            break;
        case ToolbarActionId::save:
            run(onSave);
            break;
        case ToolbarActionId::close:
            run(onClose);
            break;
        case ToolbarActionId::copy:
            copy();
            break;
    }
}

bool AnnotationHost::acceptsKeys() const {
    return canvas_ && toolbar_ && !canvas_->editingText() && !focusIsText();
}

bool AnnotationHost::drawing() const {
    if (!canvas_) return false;
    const CanvasModel& model = canvas_->model();
    return model.draft() || model.dragging();
}

bool AnnotationHost::handleKey(const KeyPress& press, bool repeat) {
    if (!acceptsKeys()) return false;
    if (!drawing() && toolbar_->handleShortcut(press, repeat)) return true;
    CanvasModel& model = canvas_->model();
    const bool command = press.control || press.option || press.command;
    if (press.keyCode == KeyCode::escape) {
        if (!model.cancelInteraction() && onClose) onClose();
        return true;
    }
    if (press.keyCode == KeyCode::returnKey && !command) {
        trigger(ToolbarActionId::copy);
        return true;
    }
    if (press.control && !press.option && !press.command && !press.shift) {
        const std::pair<int, ToolbarActionId> equivalents[] = {{KeyCode::c, ToolbarActionId::copy},
                                                               {KeyCode::s, ToolbarActionId::save},
                                                               {KeyCode::p, ToolbarActionId::pin}};
        for (const auto& [key, id] : equivalents)
            if (press.keyCode == key) return trigger(id), true;
    }
    if (command) return false;
    if (isArrow(press.keyCode) || press.keyCode == KeyCode::deleteKey ||
        press.keyCode == KeyCode::forwardDelete)
        return model.keyDown(press.keyCode, press.shift);
    return false;
}

void AnnotationHost::copy() {
    if (!canvas_) return;
    CanvasModel& model = canvas_->model();
    model.commitText();
    // Rendered on the worker from a copy: the canvas may close (or change) meanwhile.
    std::shared_ptr<CanvasModel> rendered = model.renderingCopy();
    const auto outcome =
        ScreenshotExport::copy([rendered] { return CanvasRenderer::render(*rendered); },
                               pasteboard_, defaults_, mainQueue_, history_, showError_);
    if (outcome == ScreenshotExport::CopyOutcome::refused) return;
    // The marks are on the clipboard now: closing loses nothing.
    if (edits_) edits_->setClean();
    if (onImageCopied) onImageCopied();
    copied(outcome == ScreenshotExport::CopyOutcome::close);
}

void AnnotationHost::copied(bool closes) {
    if (closes) {
        if (onClose) onClose();
    } else if (toolbar_) {
        toolbar_->flashCopied();
    }
}

void AnnotationHost::recognizeText(bool copyWhenReady, std::function<void()> onClosed) {
    if (!canvas_ || !presentRecognition) {
        if (onClosed) onClosed();
        return;
    }
    // The window reads the pixels: no PNG is made for it.
    encode(
        [this, copyWhenReady, onClosed](const std::optional<EncodedImage>& encoded) {
            QPointer<Canvas> alive = canvas_;
            auto onCopied = [this, alive, queue = &mainQueue_] {
                // The recognition window closes as it copies: this note is what is left to see.
                CopiedNote::show(QCursor::pos(), *queue);
                if (alive) copied(CapturePreferences::copyCloses(defaults_));
            };
            if (encoded && canvas_ && presentRecognition &&
                presentRecognition(encoded->image, copyWhenReady, onCopied, onClosed))
                return;
            if (onClosed) onClosed();
        },
        false);
}

void AnnotationHost::encode(std::function<void(const std::optional<EncodedImage>&)> then,
                            bool withPng) {
    if (!canvas_) {
        then(std::nullopt);
        return;
    }
    CanvasModel& model = canvas_->model();
    model.commitText();
    std::shared_ptr<CanvasModel> rendered = model.renderingCopy();
    std::weak_ptr<bool> alive = alive_;
    MainQueue& mainQueue = mainQueue_;
    PngEncoder::worker().async([rendered, alive, &mainQueue, withPng, then = std::move(then)] {
        std::optional<EncodedImage> made;
        QImage image = CanvasRenderer::render(*rendered);
        if (!withPng) {
            if (!image.isNull()) made = EncodedImage{{}, std::move(image)};
        } else if (std::optional<QByteArray> png =
                       image.isNull() ? std::nullopt : PngEncoder::encode(image)) {
            made = EncodedImage{std::move(*png), std::move(image)};
        }
        mainQueue.async([alive, made = std::move(made), then] {
            if (!alive.expired()) then(made);
        });
    });
}

void AnnotationHost::saveTo(const QString& path, std::function<void(bool)> done) {
    if (!canvas_ || path.isEmpty()) {
        done(false);
        return;
    }
    const int editsAtStart = edits_ ? edits_->index() : 0;
    encode([this, path, editsAtStart,
            done = std::move(done)](const std::optional<EncodedImage>& encoded) {
        if (!encoded) {
            if (showError_)
                showError_({QCoreApplication::translate("AnnotationHost", "无法保存截图"),
                            QCoreApplication::translate(
                                "AnnotationHost", "内存不足，无法生成 PNG 图片，文件没有写入。"),
                            {QCoreApplication::translate("AnnotationHost", "知道了")}});
            done(false);
            return;
        }
        if (!ScreenshotExport::save(encoded->png, path, defaults_, showError_, history_)) {
            done(false);
            return;
        }
        // Marks made while the file was being written are not in it.
        if (edits_ && edits_->index() == editsAtStart) edits_->setClean();
        done(true);
    });
}

void AnnotationHost::pinned(const QByteArray& png) {
    if (history_) history_->record(png);
}

void AnnotationHost::refreshToolbarStyle() {
    if (!toolbar_ || !canvas_) return;
    const CanvasModel& model = canvas_->model();
    toolbar_->updateStyle(model.ink, model.strokeWidth);
    toolbar_->setFontSize(model.fontSize);
    if (const Mark* mark = model.selectedMark())
        toolbar_->updateContext(
            mark->tool, mark->tool == Tool::mosaic
                            ? (mark->mosaicBrush ? MosaicMode::brush : MosaicMode::rectangle)
                            : model.mosaicMode);
    else
        toolbar_->updateContext(std::nullopt, model.mosaicMode);
}

void AnnotationHost::rememberStyle() {
    if (canvas_) AnnotationPreferences::of(canvas_->model()).save(defaults_);
}

}  // namespace tessal
