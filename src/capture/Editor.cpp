#include "Editor.h"

#include <QGuiApplication>
#include <QScreen>

#include "OverlayWindow.h"
#include "base/QtGeometry.h"

namespace tessal {

Editor::Editor(std::vector<ScreenSnapshot> snapshots) : snapshots_(std::move(snapshots)) {
    QScreen* primary = QGuiApplication::primaryScreen();
    const QRectF primaryGeometry = primary ? QRectF(primary->geometry()) : QRectF();
    for (const ScreenSnapshot& snapshot : snapshots_) {
        const QRect geometry = qtFromGlobal(snapshot.frame, primaryGeometry).toRect();
        auto overlay = std::make_unique<OverlayWindow>(snapshot.image, geometry);
        overlay->onCancel = [this] { close(); };
        overlays_.push_back(std::move(overlay));
    }
}

Editor::~Editor() {
    for (auto& overlay : overlays_) overlay->onCancel = nullptr;
}

void Editor::showWindow() {
    if (closed_) return;
    // The last one presented holds the keyboard; make that the primary display's overlay.
    for (auto it = overlays_.rbegin(); it != overlays_.rend(); ++it) (*it)->present();
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

}  // namespace tessal
