#include "Editor.h"

#include <QBuffer>
#include <QCursor>
#include <QGuiApplication>
#include <QImageWriter>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include "OverlayWindow.h"
#include "PixelMagnifier.h"
#include "ScreenGeometry.h"
#include "SelectionChrome.h"
#include "SelectionSizeBadge.h"
#include "SelectionView.h"
#include "base/QtGeometry.h"
#include "platform/Pasteboard.h"

namespace tessal {

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
            if (event->isAutoRepeat() && release) return true;
            return handleKey(keyPressFromEvent(*event), release, i);
        };
        view->onRightClick = [this, i](QMouseEvent* event) {
            handleRightClick(pointFromView(event->position(), roots_[i]->viewHeight()), i);
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
    for (SelectionView* view : roots_) view->onKey = nullptr, view->onRightClick = nullptr;
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

bool Editor::handleKey(const KeyPress& press, bool release, std::size_t index) {
    if (closed_ || index >= roots_.size()) return false;
    const bool plain = !press.shift && !press.control && !press.option && !press.command;
    if (press.keyCode == KeyCode::space && release) {
        if (chrome_ && chrome_->temporaryMoving()) {
            chrome_->setTemporaryMoving(false);
            return true;
        }
        return false;
    }
    if (release) return false;

    if (press.keyCode == KeyCode::space && plain) {
        if (selectedRoot_ < 0) {
            models_[keyRoot(index)]->toggleWindowSelection();
        } else if (!isSaving && chrome_ && !chrome_->dragging()) {
            chrome_->setTemporaryMoving(true);
        }
        return true;
    }
    if (press.keyCode >= KeyCode::left && press.keyCode <= KeyCode::up) {
        if (selectedRoot_ < 0 || isSaving || press.control || press.option || press.command)
            return false;
        nudgeSelection(press);
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
    if (press.keyCode == KeyCode::returnKey && !press.control && !press.option && !press.command) {
        if (selectedRoot_ >= 0 && !isSaving) copyImage();
        return true;
    }
    return false;
}

void Editor::handleRightClick(Point p, std::size_t index) {
    if (closed_) return;
    if (selectedRoot_ < 0) {
        close();
        return;
    }
    if (isSaving) return;
    reselect(p, index);
}

void Editor::select(const Rect& rect, std::size_t index) {
    if (selectedRoot_ >= 0 || index >= models_.size()) return;
    SelectionViewModel& model = *models_[index];
    const ScreenSnapshot& snapshot = model.snapshot();
    const Size screen{snapshot.frame.width(), snapshot.frame.height()};
    const QRect crop = pixelCrop(rect, screen, snapshot.image.size());
    if (crop.isEmpty()) return;
    const Rect snapped = snappedSelection(crop, screen, snapshot.image.size());

    for (auto& m : models_) m->setSelected(true);
    selectedRoot_ = int(index);
    model.setSelection(snapped);

    SelectionView& view = *roots_[index];
    chrome_ = new SelectionChrome(&view, snapped);
    chrome_->onChange = [this](const Rect& next) { updateSelection(next); };
    chrome_->onCopy = [this] { copyImage(); };
    chrome_->show();
    view.sizeBadge().raise();
    overlays_[index]->present(true);
}

void Editor::updateSelection(const Rect& rect) {
    if (selectedRoot_ < 0) return;
    SelectionViewModel& model = *models_[selectedRoot_];
    const ScreenSnapshot& snapshot = model.snapshot();
    const Size screen{snapshot.frame.width(), snapshot.frame.height()};
    const QRect crop = pixelCrop(rect, screen, snapshot.image.size());
    if (crop.isEmpty()) return;
    const Rect snapped = snappedSelection(crop, screen, snapshot.image.size());
    model.setSelection(snapped);
    if (chrome_) chrome_->setSelection(snapped);
}

void Editor::nudgeSelection(const KeyPress& press) {
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
    if (chrome_) chrome_->deleteLater();
    chrome_ = nullptr;
    for (auto& overlay : overlays_) overlay->edits().clear();
    for (auto& model : models_) model->resetSelection();
    selectedRoot_ = -1;
    overlays_[index]->present(true);
    models_[index]->updateHover(p);
}

void Editor::copyImage() {
    if (selectedRoot_ < 0) return;
    const SelectionViewModel& model = *models_[selectedRoot_];
    if (!model.selection()) return;
    const ScreenSnapshot& snapshot = model.snapshot();
    const QRect crop =
        pixelCrop(*model.selection(), {snapshot.frame.width(), snapshot.frame.height()},
                  snapshot.image.size());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (crop.isEmpty() || !QImageWriter(&buffer, "png").write(snapshot.image.copy(crop))) return;
    if (environment_.pasteboard.setPng(png)) close();
}

}  // namespace tessal
