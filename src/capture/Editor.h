#pragma once

#include <QByteArray>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "ScreenSnapshot.h"
#include "SelectionChrome.h"
#include "SelectionViewModel.h"
#include "platform/KeyCodes.h"

class QKeyEvent;
class QMouseEvent;

namespace tessal {

class Clock;
class MainQueue;
class OverlayWindow;
class Pasteboard;
class SelectionView;

// What a capture session needs from the program around it.
struct EditorEnvironment {
    MainQueue& mainQueue;
    const Clock& clock;
    Pasteboard& pasteboard;
    SelectionViewModel::RegionQueue regionQueue;
};

// One capture session over the frozen displays: an overlay with a selection view per
// snapshot, the chosen selection with its adjustment chrome, and the session's keys.
class Editor {
  public:
    Editor(std::vector<ScreenSnapshot> snapshots, EditorEnvironment environment);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    const std::vector<std::unique_ptr<OverlayWindow>>& overlays() const { return overlays_; }
    std::size_t rootCount() const { return models_.size(); }
    SelectionView& root(std::size_t i) const { return *roots_[i]; }
    SelectionViewModel& model(std::size_t i) const { return *models_[i]; }
    SelectionChrome* chrome() const { return chrome_; }
    // The display whose selection is being edited, or -1 while choosing.
    int selectedRoot() const { return selectedRoot_; }

    // A modal step (save, text recognition, size editing) is running; blocks new work.
    bool isSaving = false;
    bool closed() const { return closed_; }

    std::function<void()> onClose;
    std::function<bool(const QByteArray& png, const Rect& globalFrame)> onPin;
    std::function<bool(const Rect& frame, const Rect& region)> onLongCapture;

    // Brings every overlay to the front, the keyboard on the session's window, and refreshes
    // the hover at the pointer.
    void showWindow();
    // Takes the overlays off the screen without ending the session.
    void hideOverlays();
    // Ends the session once: overlays closed, then onClose.
    void close();

    // The session's keys, as they arrive in root `index`'s window; true when handled.
    bool handleKey(const KeyPress& press, bool release, std::size_t index);
    void handleRightClick(Point p, std::size_t index);
    void select(const Rect& rect, std::size_t index);
    void updateSelection(const Rect& rect);
    void reselect(Point p, std::size_t index);
    // Copies the chosen pixels as PNG and ends the session.
    void copyImage();

  private:
    std::size_t keyRoot(std::size_t eventRoot) const;
    void nudgeSelection(const KeyPress& press);

    EditorEnvironment environment_;
    std::vector<std::unique_ptr<SelectionViewModel>> models_;
    std::vector<SelectionView*> roots_;
    std::vector<std::unique_ptr<OverlayWindow>> overlays_;
    QPointer<SelectionChrome> chrome_;
    int selectedRoot_ = -1;
    bool closed_ = false;
};

}  // namespace tessal
