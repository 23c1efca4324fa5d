#include "Editor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <cmath>
#include <utility>

#include "KeySheet.h"
#include "OverlayWindow.h"
#include "PixelMagnifier.h"
#include "ScreenGeometry.h"
#include "SelectionGeometry.h"
#include "SelectionSizeBadge.h"
#include "SelectionSizeEditor.h"
#include "SelectionView.h"
#include "annotation/ScreenshotExport.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
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
    : environment_(std::move(environment)),
      host_(environment_.defaults, environment_.pasteboard, environment_.mainQueue,
            environment_.showError, environment_.history) {
    host_.onSave = [this] { saveImage(); };
    host_.onPin = [this] { pinImage(); };
    host_.onClose = [this] { close(); };
    host_.onImageCopied = [this] { reportSelectionUsed(); };
    host_.onLongCapture = [this] { startLongCapture(); };
    host_.onRecognizeText = [this](bool copy) { recognizeText(copy); };
    host_.presentRecognition = environment_.recognizeText;
    host_.onToolChosen = [this](int index) {
        if (chrome_) chrome_->setMoving(index == ToolbarIndex::move);
    };
    QScreen* primary = QGuiApplication::primaryScreen();
    const QRectF primaryGeometry = primary ? QRectF(primary->geometry()) : QRectF();
    for (std::size_t i = 0; i < snapshots.size(); ++i) {
        const QRect geometry = qtFromGlobal(snapshots[i].frame, primaryGeometry).toRect();
        auto model =
            std::make_unique<SelectionViewModel>(std::move(snapshots[i]), environment_.mainQueue,
                                                 environment_.clock, environment_.regionQueue);
        auto overlay = std::make_unique<OverlayWindow>(geometry, environment_.fullScreenOverlays);
        auto* view = new SelectionView(*model, overlay.get());
        overlay->setContent(view);
        model->onSelect = [this, i](const Rect& rect) {
            select(rect, i);
            acceptSelection();
        };
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
            if (toolbar() && toolbar()->isVisible())
                areas.push_back(rectFromView(toolbar()->geometry(), h));
            areas.push_back(rectFromView(roots_[i]->sizeBadge().geometry(), h));
            return areas;
        };
        view->onFirstPaint = [this] {
            if (++firstPaints_ != roots_.size()) return;
            // Posted, so that it runs once the frame painted now has been sent to the screen.
            std::weak_ptr<bool> alive = alive_;
            environment_.mainQueue.async([this, alive] {
                if (!alive.expired() && onShown) std::exchange(onShown, nullptr)();
            });
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
        view->onFirstPaint = nullptr;
    }
    for (auto& overlay : overlays_) overlay->onResignKey = nullptr;
}

void Editor::showWindow(const StillPainter& paintStill) {
    if (closed_) return;
    followPointer();
    // Before the overlays are mapped: they show what lies beneath them until they have painted.
    if (paintStill) drawOnStill(paintStill);
    const std::size_t keyWindow = selectedRoot_ >= 0 ? std::size_t(selectedRoot_) : 0;
    for (std::size_t i = 0; i < overlays_.size(); ++i) overlays_[i]->present(false);
    if (keyWindow < overlays_.size()) present(keyWindow);
    if (!keySheetOffered_) {
        keySheetOffered_ = true;
        if (!environment_.defaults.boolValue(KeySheetModel::shownKey, false)) {
            environment_.defaults.set(KeySheetModel::shownKey, true);
            showKeySheet(keyRoot(keyWindow));
        }
    }
    if (canvas()) canvas()->setFocus();
}

void Editor::followPointer() {
    // A compositor that places the overlays tells us where the pointer is only once it enters
    // one of them; until then the window under it is lit where the compositor told where it is,
    // else the focused window, where the window list names one.
    if (environment_.fullScreenOverlays) {
        for (const auto& model : models_) {
            const ScreenSnapshot& snapshot = model->snapshot();
            if (const auto lit =
                    snapshot.pointedWindow ? snapshot.pointedWindow : snapshot.focusedWindow)
                model->suggestWindow(*lit);
        }
        return;
    }
    for (std::size_t i = 0; i < roots_.size(); ++i) {
        const QPoint local = roots_[i]->mapFromGlobal(QCursor::pos());
        if (roots_[i]->rect().contains(local))
            models_[i]->updateHover(pointFromView(local, roots_[i]->viewHeight()));
    }
}

void Editor::drawOnStill(const StillPainter& draw) const {
    if (closed_ || selectedRoot_ >= 0) return;
    for (std::size_t i = 0; i < roots_.size(); ++i) {
        const auto lit = roots_[i]->litArea();
        if (!lit) continue;
        const double scale = lit->pixels.devicePixelRatio();
        draw(models_[i]->snapshot().frame,
             QPoint(int(std::lround(lit->area.x() * scale)),
                    int(std::lround(lit->area.y() * scale))),
             lit->pixels);
    }
}

void Editor::present(std::size_t index) {
    overlays_[index]->present(true);
    takeInput(index, 0);
}

// A client that holds the keyboard or the pointer (a menu still open, a window being dragged)
// usually lets go within moments; one that does not would leave an overlay that Escape cannot end,
// so the session ends and says why.
void Editor::takeInput(std::size_t index, int attempt) {
    if (closed_ || !environment_.grabInput || !overlays_[index]->isVisible()) return;
    if (environment_.grabInput(overlays_[index]->windowHandle())) {
        overlays_[index]->inputTaken();
        return;
    }
    if (attempt + 1 < environment_.inputAttempts) {
        std::weak_ptr<bool> alive = alive_;
        environment_.mainQueue.after(0.025, [this, alive, index, attempt] {
            if (!alive.expired()) takeInput(index, attempt + 1);
        });
        return;
    }
    close();
    if (environment_.showError)
        environment_.showError(
            {QCoreApplication::translate("Editor", "无法截图"),
             QCoreApplication::translate("Editor",
                                         "另一个程序正占用键盘或鼠标，截图时将无法使用 Esc "
                                         "和回车。请先关闭正在打开的菜单或拖动，再重新截图。"),
             {QCoreApplication::translate("Editor", "知道了")}});
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

bool Editor::handleKey(const KeyPress& press, bool release, bool repeat, std::size_t index) {
    if (closed_ || index >= roots_.size()) return false;
    const bool plain = !press.shift && !press.control && !press.option && !press.command;
    if (!release && press.keyCode != KeyCode::unknown) {
        const bool typing = isSaving || editingDimensions() || (canvas() && !host_.acceptsKeys());
        if (KeySheetModel::isToggle(press) && !typing) {
            toggleKeySheet(index);
            return true;
        }
        // Any other key closes the sheet; Escape does only that, the rest also act.
        if (keySheetRoot_ >= 0) {
            hideKeySheet();
            if (press.keyCode == KeyCode::escape) return true;
        }
    }
    if (release) {
        if (press.keyCode == KeyCode::space && chrome_ && chrome_->temporaryMoving()) {
            chrome_->setTemporaryMoving(false);
            return true;
        }
        return false;
    }
    if (!host_.canvas()) return handleChoosingKey(press, index);
    // Keys the size fields left alone (arrows past their ends, tool letters) do nothing here.
    if (isSaving || editingDimensions()) return false;
    // While a handle or the selection is being dragged only Escape counts: it ends the session.
    if (chrome_ && chrome_->dragging()) {
        if (press.keyCode != KeyCode::escape) return false;
        close();
        return true;
    }
    // Held Space moves the selection until it is released.
    if (press.keyCode == KeyCode::space && plain && host_.acceptsKeys() && !host_.drawing()) {
        if (chrome_) chrome_->setTemporaryMoving(true);
        return true;
    }
    if (host_.handleKey(press, repeat)) return true;
    const bool arrow = press.keyCode >= KeyCode::left && press.keyCode <= KeyCode::up;
    if (arrow && host_.acceptsKeys() && !press.control && !press.option && !press.command) {
        nudgeSelection(press);
        return true;
    }
    return false;
}

bool Editor::handleChoosingKey(const KeyPress& press, std::size_t index) {
    const bool plain = !press.shift && !press.control && !press.option && !press.command;
    if (press.keyCode == KeyCode::space && plain) {
        models_[keyRoot(index)]->toggleWindowSelection();
        return true;
    }
    if (press.keyCode == KeyCode::c && press.option && !press.control && !press.command) {
        for (std::size_t i = 0; i < models_.size(); ++i) {
            if (models_[i]->selected() || !roots_[i]->magnifier().isVisible()) continue;
            return roots_[i]->magnifier().copyColor(environment_.pasteboard);
        }
        return false;
    }
    if (press.keyCode == KeyCode::escape) {
        close();
        return true;
    }
    return false;
}

void Editor::handleRightClick(Point p, std::size_t index) {
    if (closed_) return;
    if (!canvas()) {
        close();
        return;
    }
    if (isSaving) return;
    reselect(p, index);
}

void Editor::select(const Rect& rect, std::size_t index) {
    if (canvas() || index >= models_.size()) return;
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
    auto* canvas = new Canvas(std::move(canvasModel), &view);
    canvas->setGeometry(viewRect(crop->snapped, h).toAlignedRect());
    canvas->model().setSize(crop->snapped.size);

    for (auto& m : models_) m->setSelected(true);
    selectedRoot_ = int(index);

    view.sizeBadge().setOnEdit([this] { editDimensions(); });
    model.setSelection(crop->snapped);
    canvas->show();

    chrome_ = new SelectionChrome(&view, crop->snapped);
    chrome_->onCopy = [this] { copyImage(); };
    chrome_->onAdjustingChanged = [this](bool adjusting) {
        if (toolbar()) toolbar()->setVisible(!adjusting);
        if (!adjusting) acceptSelection();
    };
    chrome_->onChange = [this](const Rect& next) { updateSelection(next); };
    chrome_->show();

    present(index);
    canvas->setFocus();
    if (onActiveUndoStack) onActiveUndoStack(&overlays_[index]->edits());

    auto* toolbar = new AnnotationToolbar(view.width() - 16, environment_.mainQueue, &view);
    if (!environment_.recognizeText) toolbar->disableActions({ToolbarActionId::recognizeText});
    if (!environment_.longCaptureUnavailable.isEmpty())
        toolbar->disableActions({ToolbarActionId::longCapture},
                                environment_.longCaptureUnavailable);
    toolbar->onLayoutChange = [this] { placeToolbar(); };
    host_.attach(canvas, toolbar, &overlays_[index]->edits(),
                 CapturePreferences::defaultTool(environment_.defaults));
    placeToolbar();
    toolbar->show();
    view.sizeBadge().raise();
    if (keySheetRoot_ >= 0) showKeySheet(index);
}

// The long capture takes over the selection; a refusal (one is running) keeps the session.
void Editor::startLongCapture() {
    if (closed_ || isSaving || selectedRoot_ < 0 || !onLongCapture) return;
    const SelectionViewModel& model = *models_[selectedRoot_];
    if (!model.selection()) return;
    if (canvas()) canvas()->model().commitText();
    if (onLongCapture(model.snapshot().frame, *model.selection())) close();
}

void Editor::recognizeText(bool copyWhenReady) {
    if (closed_ || isSaving || !host_.canvas()) return;
    isSaving = true;
    hideOverlays();
    std::weak_ptr<bool> alive = alive_;
    host_.recognizeText(copyWhenReady, [this, alive] {
        if (alive.expired()) return;
        isSaving = false;
        if (!closed_) showWindow();
    });
}

void Editor::placeToolbar() {
    AnnotationToolbar* toolbar = host_.toolbar();
    if (!toolbar || selectedRoot_ < 0) return;
    SelectionViewModel& model = *models_[selectedRoot_];
    if (!model.selection()) return;
    const Rect frame = toolbarFrame({double(toolbar->width()), double(toolbar->height())},
                                    *model.selection(), model.bounds());
    toolbar->move(viewRect(frame, roots_[selectedRoot_]->viewHeight()).topLeft().toPoint());
    placeKeySheet();
}

void Editor::toggleKeySheet(std::size_t index) {
    if (keySheetRoot_ >= 0)
        hideKeySheet();
    else
        showKeySheet(selectedRoot_ >= 0 ? std::size_t(selectedRoot_) : keyRoot(index));
}

void Editor::showKeySheet(std::size_t index) {
    if (index >= roots_.size()) return;
    hideKeySheet();
    keySheetRoot_ = int(index);
    roots_[index]->keySheet().show();
    placeKeySheet();
}

void Editor::hideKeySheet() {
    if (keySheetRoot_ >= 0) roots_[keySheetRoot_]->keySheet().hide();
    keySheetRoot_ = -1;
}

void Editor::placeKeySheet() {
    if (keySheetRoot_ < 0) return;
    SelectionView& view = *roots_[keySheetRoot_];
    std::vector<Rect> avoid;
    if (keySheetRoot_ == selectedRoot_) {
        const double h = view.viewHeight();
        if (const auto& selection = models_[selectedRoot_]->selection())
            avoid.push_back(selection->insetBy(-10, -10));  // its handles included
        if (toolbar()) avoid.push_back(rectFromView(toolbar()->geometry(), h));
        avoid.push_back(rectFromView(view.sizeBadge().geometry(), h));
    }
    view.keySheet().place(avoid);
    view.keySheet().raise();
}

void Editor::updateSelection(const Rect& rect) {
    if (selectedRoot_ < 0) return;
    SelectionViewModel& model = *models_[selectedRoot_];
    const ScreenSnapshot& snapshot = model.snapshot();
    if (canvas()) canvas()->model().commitText();
    roots_[selectedRoot_]->sizeEditor().cancel();
    const auto crop = cropFor(snapshot, rect);
    if (!crop) return;
    if (canvas()) {
        CanvasModel& cm = canvas()->model();
        cm.setImage(snapshot.image.copy(crop->pixels), crop->pixels.width(), crop->pixels.height());
        cm.setAnnotationOrigin(crop->snapped.origin);
        canvas()->setGeometry(
            viewRect(crop->snapped, roots_[selectedRoot_]->viewHeight()).toAlignedRect());
        cm.setSize(crop->snapped.size);
        canvas()->update();
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
    Canvas* canvas = host_.canvas();
    AnnotationToolbar* toolbar = host_.toolbar();
    host_.detach();
    if (canvas) {
        canvas->model().cancelText();
        delete canvas;
    }
    delete chrome_;
    delete toolbar;
    for (auto& overlay : overlays_) overlay->edits().clear();
    for (std::size_t i = 0; i < models_.size(); ++i) {
        roots_[i]->sizeEditor().cancel();
        roots_[i]->sizeBadge().setOnEdit(nullptr);
        models_[i]->resetSelection();
    }
    selectedRoot_ = -1;
    present(index);
    models_[index]->updateHover(p);
    placeKeySheet();
}

void Editor::editDimensions() {
    if (isSaving || !canvas() || selectedRoot_ < 0) return;
    SelectionViewModel& model = *models_[selectedRoot_];
    if (!model.selection()) return;
    canvas()->model().commitText();
    SelectionView& view = *roots_[selectedRoot_];
    SelectionSizeEditor& fields = view.sizeEditor();
    fields.onApply = [this](QSize typed) {
        if (selectedRoot_ < 0) return;
        SelectionViewModel& chosen = *models_[selectedRoot_];
        if (!chosen.selection()) return;
        const ScreenSnapshot& snapshot = chosen.snapshot();
        updateSelection(exactSelectionSize(
            Size{double(typed.width()), double(typed.height())}, *chosen.selection(),
            {snapshot.frame.width(), snapshot.frame.height()}, snapshot.image.size()));
    };
    fields.onClose = [this, &view] {
        view.updateSelectionLayers();
        if (canvas()) canvas()->setFocus();
    };
    const CanvasModel& cm = canvas()->model();
    fields.open(QSize(cm.pixelWidth(), cm.pixelHeight()), *model.selection(), model.bounds());
    view.updateSelectionLayers();
}

bool Editor::editingDimensions() const {
    return selectedRoot_ >= 0 && roots_[selectedRoot_]->sizeEditor().editing();
}

std::optional<Rect> Editor::globalSelection() const {
    if (selectedRoot_ < 0) return std::nullopt;
    const SelectionViewModel& model = *models_[selectedRoot_];
    if (!model.selection()) return std::nullopt;
    return model.selection()->offsetBy(model.snapshot().frame.minX(),
                                       model.snapshot().frame.minY());
}

void Editor::reportSelectionUsed() {
    // Remembered (and written to the settings) after the session has left the screen.
    if (const auto frame = globalSelection(); frame && onSelectionUsed)
        environment_.mainQueue.async([used = onSelectionUsed, frame = *frame] { used(frame); });
}

void Editor::acceptSelection() {
    if (!environment_.acceptOnSelect || !canvas() || closed_) return;
    environment_.acceptOnSelect = false;
    copyImage();
}

void Editor::copyImage() {
    if (isSaving) return;
    host_.copy();
}

void Editor::saveImage() {
    if (isSaving || !canvas() || !environment_.chooseSavePath) return;
    isSaving = true;
    canvas()->model().commitText();
    hideOverlays();
    const auto path = environment_.chooseSavePath();
    if (!path) {
        isSaving = false;
        showWindow();
        return;
    }
    host_.saveTo(*path, [this](bool saved) {
        isSaving = false;
        if (closed_) return;
        if (saved) {
            reportSelectionUsed();
            close();
        } else {
            showWindow();
        }
    });
}

void Editor::pinImage() {
    if (isSaving || !canvas() || selectedRoot_ < 0 || !onPin) return;
    const std::optional<Rect> frame = globalSelection();
    if (!frame) return;
    isSaving = true;
    host_.encode([this, frame = *frame](const std::optional<EncodedImage>& encoded) {
        isSaving = false;
        if (!encoded || closed_ || !onPin) return;
        if (onPin(*encoded, frame)) {
            reportSelectionUsed();
            host_.pinned(encoded->png);
            close();
        }
    });
}

}  // namespace tessal
