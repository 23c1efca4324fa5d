#include "Editor.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QUndoStack>

#include "OverlayWindow.h"
#include "PixelMagnifier.h"
#include "ScreenGeometry.h"
#include "SelectionGeometry.h"
#include "SelectionSizeBadge.h"
#include "SelectionView.h"
#include "annotation/AnnotationPreferences.h"
#include "annotation/CanvasRenderer.h"
#include "annotation/ScreenshotExport.h"
#include "base/QtGeometry.h"
#include "platform/Pasteboard.h"

namespace tessal {
namespace {

struct Crop {
    QRect pixels;
    Rect snapped;
};

std::optional<Crop> cropFor(const ScreenSnapshot& snapshot, const Rect& rect) {
    const Size screen{snapshot.frame.width(), snapshot.frame.height()};
    const QRect pixels = pixelCrop(rect, screen, snapshot.image.size());
    if (pixels.isEmpty()) return std::nullopt;
    return Crop{pixels, snappedSelection(pixels, screen, snapshot.image.size())};
}

}  // namespace

Editor::Editor(std::vector<ScreenSnapshot> snapshots, EditorEnvironment environment)
    : environment_(std::move(environment)) {
    QScreen* primary = QGuiApplication::primaryScreen();
    const QRectF primaryGeometry = primary ? QRectF(primary->geometry()) : QRectF();
    for (std::size_t i = 0; i < snapshots.size(); ++i) {
        const QRect geometry = qtFromGlobal(snapshots[i].frame, primaryGeometry).toRect();
        auto model =
            std::make_unique<SelectionViewModel>(std::move(snapshots[i]), environment_.mainQueue,
                                                 environment_.clock, environment_.regionQueue);
        auto overlay = std::make_unique<OverlayWindow>(geometry);
        auto* view = new SelectionView(*model, overlay.get());
        overlay->setContent(view);
        model->onSelect = [this, i](const Rect& rect) { select(rect, i); };
        view->onKey = [this, i](QKeyEvent* event) {
            const bool release = event->type() == QEvent::KeyRelease;
            return handleKey(keyPressFromEvent(*event), release, event->isAutoRepeat(), i);
        };
        view->onRightClick = [this, i](QMouseEvent* event) {
            handleRightClick(pointFromView(event->position(), roots_[i]->viewHeight()), i);
        };
        view->excludedCursorAreas = [this, i] {
            std::vector<Rect> areas;
            if (int(i) != selectedRoot_) return areas;
            const double h = roots_[i]->viewHeight();
            if (toolbar_ && toolbar_->isVisible())
                areas.push_back(rectFromView(toolbar_->geometry(), h));
            areas.push_back(rectFromView(roots_[i]->sizeBadge().geometry(), h));
            return areas;
        };
        overlay->onResignKey = [this] {
            if (chrome_ && chrome_->temporaryMoving()) chrome_->setTemporaryMoving(false);
        };
        models_.push_back(std::move(model));
        roots_.push_back(view);
        overlays_.push_back(std::move(overlay));
    }
}

Editor::~Editor() {
    for (auto& model : models_) model->onSelect = nullptr;
    for (SelectionView* view : roots_) {
        view->onKey = nullptr;
        view->onRightClick = nullptr;
        view->excludedCursorAreas = nullptr;
    }
    for (auto& overlay : overlays_) overlay->onResignKey = nullptr;
}

void Editor::showWindow() {
    if (closed_) return;
    const std::size_t keyWindow = selectedRoot_ >= 0 ? std::size_t(selectedRoot_) : 0;
    for (std::size_t i = 0; i < overlays_.size(); ++i) overlays_[i]->present(false);
    if (keyWindow < overlays_.size()) overlays_[keyWindow]->present(true);
    for (std::size_t i = 0; i < roots_.size(); ++i) {
        const QPoint local = roots_[i]->mapFromGlobal(QCursor::pos());
        if (roots_[i]->rect().contains(local))
            models_[i]->updateHover(pointFromView(local, roots_[i]->viewHeight()));
    }
    if (canvas_) canvas_->setFocus();
}

void Editor::hideOverlays() {
    for (auto& overlay : overlays_) overlay->hide();
}

void Editor::close() {
    if (closed_) return;
    closed_ = true;
    for (auto& overlay : overlays_) overlay->close();
    if (onClose) onClose();
}

std::size_t Editor::keyRoot(std::size_t eventRoot) const {
    // The keyboard goes to one overlay; keys about hovering belong to the display under the
    // pointer.
    for (std::size_t i = 0; i < models_.size(); ++i)
        if (models_[i]->hoverPoint()) return i;
    return eventRoot;
}

bool Editor::focusIsText() const {
    QWidget* focus = QApplication::focusWidget();
    return qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) ||
           qobject_cast<QPlainTextEdit*>(focus);
}

bool Editor::handleToolShortcut(const KeyPress& press, bool release, bool repeat) {
    const bool plain = !press.shift && !press.control && !press.option && !press.command;
    if (release) {
        if (press.keyCode == KeyCode::space && chrome_ && chrome_->temporaryMoving()) {
            chrome_->setTemporaryMoving(false);
            return true;
        }
        return false;
    }
    if (isSaving || !canvas_ || canvas_->editingText() || focusIsText()) return false;
    if (canvas_->model().draft() || canvas_->model().dragging() || (chrome_ && chrome_->dragging()))
        return false;
    if (press.keyCode == KeyCode::space && plain) {
        if (chrome_) chrome_->setTemporaryMoving(true);
        return true;
    }
    return toolbar_ && toolbar_->handleShortcut(press, repeat);
}

bool Editor::handleKey(const KeyPress& press, bool release, bool repeat, std::size_t index) {
    if (closed_ || index >= roots_.size()) return false;
    if (handleToolShortcut(press, release, repeat)) return true;
    if (release) return false;
    if (canvas_ && (canvas_->editingText() || focusIsText())) return false;
    const bool plain = !press.shift && !press.control && !press.option && !press.command;

    if (press.keyCode == KeyCode::space && plain && selectedRoot_ < 0) {
        models_[keyRoot(index)]->toggleWindowSelection();
        return true;
    }
    if (press.keyCode >= KeyCode::left && press.keyCode <= KeyCode::up) {
        if (!canvas_ || isSaving || press.control || press.option || press.command) return false;
        if (canvas_->model().keyDown(press.keyCode, press.shift)) return true;
        nudgeSelection(press);
        return true;
    }
    if ((press.keyCode == KeyCode::deleteKey || press.keyCode == 117) && canvas_)
        return canvas_->model().keyDown(press.keyCode, press.shift);
    if (press.keyCode == KeyCode::c && press.option && !press.control && !press.command) {
        for (std::size_t i = 0; i < models_.size(); ++i) {
            if (models_[i]->selected() || !roots_[i]->magnifier().isVisible()) continue;
            return roots_[i]->magnifier().copyColor(environment_.pasteboard);
        }
        return false;
    }
    if (press.keyCode == KeyCode::escape) {
        if (!(canvas_ && canvas_->model().cancelInteraction())) close();
        return true;
    }
    if (press.keyCode == KeyCode::returnKey && !press.control && !press.option && !press.command) {
        copyImage();
        return true;
    }
    // The toolbar's key equivalents.
    if (canvas_ && press.control && !press.option && !press.command && !press.shift) {
        if (press.keyCode == KeyCode::c) return copyImage(), true;
        if (press.keyCode == 1) return saveImage(), true;  // S
        if (press.keyCode == 35) return pinImage(), true;  // P
    }
    return false;
}

void Editor::handleRightClick(Point p, std::size_t index) {
    if (closed_) return;
    if (!canvas_) {
        close();
        return;
    }
    if (isSaving) return;
    reselect(p, index);
}

void Editor::select(const Rect& rect, std::size_t index) {
    if (canvas_ || index >= models_.size()) return;
    SelectionViewModel& model = *models_[index];
    const ScreenSnapshot& snapshot = model.snapshot();
    const auto crop = cropFor(snapshot, rect);
    if (!crop) return;
    SelectionView& view = *roots_[index];
    const double h = view.viewHeight();

    auto canvasModel = std::make_unique<CanvasModel>(
        snapshot.image.copy(crop->pixels), crop->pixels.width(), crop->pixels.height(),
        &overlays_[index]->edits(), environment_.clock);
    canvasModel->setAnnotationOrigin(crop->snapped.origin);
    canvas_ = new Canvas(std::move(canvasModel), &view);
    canvas_->setGeometry(viewRect(crop->snapped, h).toAlignedRect());
    canvas_->model().setSize(crop->snapped.size);
    canvas_->model().onCopy = [this] { copyImage(); };

    for (auto& m : models_) m->setSelected(true);
    selectedRoot_ = int(index);

    CanvasModel& cm = canvas_->model();
    AnnotationPreferences::load(environment_.defaults).applyTo(cm);
    cm.clearDraft();
    cm.selectMark(std::nullopt);

    view.sizeBadge().setOnEdit([this] { editDimensions(); });
    model.setSelection(crop->snapped);
    canvas_->show();

    chrome_ = new SelectionChrome(&view, crop->snapped);
    chrome_->onCopy = [this] { copyImage(); };
    chrome_->onAdjustingChanged = [this](bool adjusting) {
        if (toolbar_) toolbar_->setVisible(!adjusting);
    };
    chrome_->onChange = [this](const Rect& next) { updateSelection(next); };
    chrome_->show();

    overlays_[index]->present(true);
    canvas_->setFocus();
    if (onActiveUndoStack) onActiveUndoStack(&overlays_[index]->edits());
    addToolbar(view);
}

void Editor::addToolbar(SelectionView& view) {
    toolbar_ = new AnnotationToolbar(view.width() - 16, environment_.mainQueue, &view);
    toolbar_->disableActions({QStringLiteral("识别文字"), QStringLiteral("长截图")});
    toolbar_->onLayoutChange = [this] { placeToolbar(); };
    toolbar_->onTool = [this](int i) { onTool(i); };
    toolbar_->onColor = [this](QColor c) {
        if (!canvas_) return;
        canvas_->model().applyStyle(c, std::nullopt);
        rememberStyle();
    };
    toolbar_->onMosaicMode = [this](MosaicMode mode) {
        if (!canvas_) return;
        toolbar_->selectTool(7);
        onTool(7);
        canvas_->model().mosaicMode = mode;
        canvas_->model().clearDraft();
        canvas_->model().selectMark(std::nullopt);
        canvas_->refreshCursor();
    };
    toolbar_->onFontSize = [this](double size) {
        if (!canvas_) return;
        canvas_->model().applyFontSize(size);
        rememberStyle();
    };
    toolbar_->onWidth = [this](double width) {
        if (!canvas_) return;
        canvas_->model().applyStyle(std::nullopt, width);
        rememberStyle();
    };
    toolbar_->onUndo = [this] {
        if (selectedRoot_ >= 0) overlays_[selectedRoot_]->edits().undo();
    };
    toolbar_->onRedo = [this] {
        if (selectedRoot_ >= 0) overlays_[selectedRoot_]->edits().redo();
    };
    toolbar_->onPin = [this] { pinImage(); };
    toolbar_->onCopy = [this] { copyImage(); };
    toolbar_->onSave = [this] { saveImage(); };
    toolbar_->onClose = [this] { close(); };
    canvas_->model().onStyleChange = [this] {
        refreshToolbarStyle();
        rememberStyle();
    };
    placeToolbar();
    toolbar_->show();
    view.sizeBadge().raise();
    refreshToolbarStyle();
    const int tool = CapturePreferences::defaultTool(environment_.defaults);
    toolbar_->selectTool(tool);
    onTool(tool);
}

void Editor::refreshToolbarStyle() {
    if (!toolbar_ || !canvas_) return;
    const CanvasModel& cm = canvas_->model();
    toolbar_->updateStyle(cm.ink, cm.strokeWidth);
    toolbar_->setFontSize(cm.fontSize);
    if (const Mark* mark = cm.selectedMark())
        toolbar_->updateContext(
            mark->tool, mark->tool == Tool::mosaic
                            ? (mark->mosaicBrush ? MosaicMode::brush : MosaicMode::rectangle)
                            : cm.mosaicMode);
    else
        toolbar_->updateContext(std::nullopt, cm.mosaicMode);
}

void Editor::placeToolbar() {
    if (!toolbar_ || selectedRoot_ < 0) return;
    SelectionViewModel& model = *models_[selectedRoot_];
    if (!model.selection()) return;
    const Rect frame = toolbarFrame({double(toolbar_->width()), double(toolbar_->height())},
                                    *model.selection(), model.bounds());
    toolbar_->move(viewRect(frame, roots_[selectedRoot_]->viewHeight()).topLeft().toPoint());
}

void Editor::onTool(int index) {
    if (!canvas_) return;
    CanvasModel& cm = canvas_->model();
    cm.commitText();
    if (chrome_) chrome_->setMoving(index == 0);
    cm.selectionOnly = index == 1;
    if (index != 1) cm.selectMark(std::nullopt);
    if (index >= 2) cm.tool = toolFromRaw(index - 2).value_or(Tool::rectangle);
    canvas_->refreshCursor();
    canvas_->setFocus();
}

void Editor::rememberStyle() {
    if (!canvas_) return;
    AnnotationPreferences::of(canvas_->model()).save(environment_.defaults);
}

void Editor::updateSelection(const Rect& rect) {
    if (selectedRoot_ < 0) return;
    SelectionViewModel& model = *models_[selectedRoot_];
    const ScreenSnapshot& snapshot = model.snapshot();
    if (canvas_) canvas_->model().commitText();
    const auto crop = cropFor(snapshot, rect);
    if (!crop) return;
    if (canvas_) {
        CanvasModel& cm = canvas_->model();
        cm.setImage(snapshot.image.copy(crop->pixels), crop->pixels.width(), crop->pixels.height());
        cm.setAnnotationOrigin(crop->snapped.origin);
        canvas_->setGeometry(
            viewRect(crop->snapped, roots_[selectedRoot_]->viewHeight()).toAlignedRect());
        cm.setSize(crop->snapped.size);
        canvas_->update();
    }
    model.setSelection(crop->snapped);
    if (chrome_) chrome_->setSelection(crop->snapped);
    placeToolbar();
}

void Editor::nudgeSelection(const KeyPress& press) {
    if (selectedRoot_ < 0) return;
    SelectionViewModel& model = *models_[selectedRoot_];
    if (!model.selection()) return;
    const double step = press.shift ? 10 : 1;
    const QSize image = model.snapshot().image.size();
    const Rect bounds = model.bounds();
    const double dx = bounds.width() / std::max(1, image.width());
    const double dy = bounds.height() / std::max(1, image.height());
    Point delta;
    switch (press.keyCode) {
        case KeyCode::left:
            delta = {-step * dx, 0};
            break;
        case KeyCode::right:
            delta = {step * dx, 0};
            break;
        case KeyCode::down:
            delta = {0, -step * dy};
            break;
        default:
            delta = {0, step * dy};
            break;
    }
    updateSelection(adjusted(SelectionHandle::move, *model.selection(), delta, bounds, false));
}

void Editor::reselect(Point p, std::size_t index) {
    if (closed_ || isSaving || index >= models_.size()) return;
    if (canvas_) {
        canvas_->model().cancelText();
        delete canvas_;
    }
    delete chrome_;
    delete toolbar_;
    for (auto& overlay : overlays_) overlay->edits().clear();
    for (std::size_t i = 0; i < models_.size(); ++i) {
        roots_[i]->sizeBadge().setOnEdit(nullptr);
        models_[i]->resetSelection();
    }
    selectedRoot_ = -1;
    overlays_[index]->present(true);
    models_[index]->updateHover(p);
}

void Editor::editDimensions() {
    if (isSaving || !canvas_ || selectedRoot_ < 0 || !environment_.askSize) return;
    SelectionViewModel& model = *models_[selectedRoot_];
    if (!model.selection()) return;
    isSaving = true;
    canvas_->model().commitText();
    hideOverlays();
    const CanvasModel& cm = canvas_->model();
    const auto typed = environment_.askSize(QSize(cm.pixelWidth(), cm.pixelHeight()));
    if (typed && std::isfinite(typed->width) && std::isfinite(typed->height) && typed->width >= 1 &&
        typed->height >= 1) {
        const ScreenSnapshot& snapshot = model.snapshot();
        updateSelection(exactSelectionSize(*typed, *model.selection(),
                                           {snapshot.frame.width(), snapshot.frame.height()},
                                           snapshot.image.size()));
    }
    showWindow();
    isSaving = false;
}

std::optional<QByteArray> Editor::renderPng() {
    if (!canvas_) return std::nullopt;
    return CanvasRenderer::png(canvas_->model());
}

void Editor::copyImage() {
    if (isSaving) return;
    const auto png = renderPng();
    if (!png) return;
    switch (ScreenshotExport::copy(*png, environment_.pasteboard, environment_.defaults)) {
        case ScreenshotExport::CopyOutcome::close:
            close();
            break;
        case ScreenshotExport::CopyOutcome::stayOpen:
            if (toolbar_) toolbar_->flashCopied();
            break;
        case ScreenshotExport::CopyOutcome::refused:
            break;
    }
}

void Editor::saveImage() {
    if (isSaving || !canvas_ || !environment_.chooseSavePath) return;
    isSaving = true;
    canvas_->model().commitText();
    hideOverlays();
    const auto path = environment_.chooseSavePath();
    bool saved = false;
    if (path && !path->isEmpty()) {
        if (const auto png = renderPng())
            saved =
                ScreenshotExport::save(*png, *path, environment_.defaults, environment_.showError);
    }
    isSaving = false;
    if (saved)
        close();
    else
        showWindow();
}

void Editor::pinImage() {
    if (isSaving || !canvas_ || selectedRoot_ < 0 || !onPin) return;
    const auto png = renderPng();
    if (!png) return;
    const SelectionViewModel& model = *models_[selectedRoot_];
    if (!model.selection()) return;
    const Rect frame =
        model.selection()->offsetBy(model.snapshot().frame.minX(), model.snapshot().frame.minY());
    if (onPin(*png, frame)) close();
}

}  // namespace tessal
