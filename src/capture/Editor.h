#pragma once

#include <QByteArray>
#include <functional>
#include <memory>
#include <vector>

#include "ScreenSnapshot.h"

namespace tessal {

class MainQueue;
class OverlayWindow;

// One capture session over the frozen displays: one overlay per snapshot.
class Editor {
  public:
    explicit Editor(std::vector<ScreenSnapshot> snapshots);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    const std::vector<ScreenSnapshot>& snapshots() const { return snapshots_; }
    const std::vector<std::unique_ptr<OverlayWindow>>& overlays() const { return overlays_; }

    // A modal step (save, text recognition, size editing) is running; blocks new work.
    bool isSaving = false;
    bool closed() const { return closed_; }

    std::function<void()> onClose;
    std::function<bool(const QByteArray& png, const Rect& globalFrame)> onPin;
    std::function<bool(const Rect& frame, const Rect& region)> onLongCapture;

    // Brings every overlay to the front, keyboard and pointer on the first.
    void showWindow();
    // Takes the overlays off the screen without ending the session.
    void hideOverlays();
    // Ends the session once: overlays closed, then onClose.
    void close();

  private:
    std::vector<ScreenSnapshot> snapshots_;
    std::vector<std::unique_ptr<OverlayWindow>> overlays_;
    bool closed_ = false;
};

}  // namespace tessal
