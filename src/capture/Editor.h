#pragma once

#include <QByteArray>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "SelectionChrome.h"
#include "SelectionViewModel.h"
#include "annotation/AnnotationHost.h"
#include "base/AlertSpec.h"
#include "base/ScreenSnapshot.h"
#include "platform/KeyCodes.h"

class QUndoStack;
class QWindow;

namespace tessal {

class Clock;
class DefaultsStore;
class MainQueue;
class OverlayWindow;
class Pasteboard;
class ScreenshotHistory;
class SelectionView;

// What a capture session needs from the program around it. The dialogs are functions so tests
// can answer them.
struct EditorEnvironment {
    MainQueue& mainQueue;
    const Clock& clock;
    Pasteboard& pasteboard;
    DefaultsStore& defaults;
    SelectionViewModel::RegionQueue regionQueue;
    std::function<std::optional<QString>()> chooseSavePath{};
    std::function<void(const AlertSpec&)> showError{};
    // Takes keyboard and pointer for an overlay; unset = nothing to take (tests).
    std::function<bool(QWindow*)> grabInput{};
    // Where what leaves the session is recorded; none = not recorded.
    ScreenshotHistory* history = nullptr;
    // Opens text recognition on an image; none = not offered.
    AnnotationHost::RecognitionPresenter recognizeText{};
    // Overlays as full-screen windows placed by the compositor, which tells the pointer's
    // position only once it enters one (Wayland).
    bool fullScreenOverlays = false;
    // Why long capture is not offered here; empty when it is.
    QString longCaptureUnavailable{};
    // How many times, 25 ms apart, keyboard and pointer are asked for while another client holds
    // one. A delayed capture waits longer: the menu it was delayed for holds both until the user
    // clicks.
    int inputAttempts = 20;
    // The first selection completed (drawn, a window picked, or the one given moved or resized)
    // is copied as Return would copy it.
    bool acceptOnSelect = false;
};

// One capture session over the frozen displays: an overlay with a selection view per snapshot;
// once a rectangle is chosen, the canvas over it with the adjustment chrome and the toolbar,
// and the outcomes: copy, save, pin, reselect, close.
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

    // Hands what each overlay will show around its highlighted window to `draw` (the display's
    // frame, the device-pixel offset inside the display, the pixels), so that the frozen still
    // can show it before the overlays have painted; nothing once a rectangle is chosen.
    using StillPainter = std::function<void(const Rect&, QPoint, const QImage&)>;
    void drawOnStill(const StillPainter& draw) const;
    Canvas* canvas() const { return host_.canvas(); }
    AnnotationToolbar* toolbar() const { return host_.toolbar(); }
    // The display whose selection is being edited, or -1 while choosing.
    int selectedRoot() const { return selectedRoot_; }

    // A step that ends the session is running (a save, a pin: the PNG is being made, or text
    // recognition); blocks new work.
    bool isSaving = false;
    bool closed() const { return closed_; }

    std::function<void()> onClose;
    std::function<bool(const EncodedImage& image, const Rect& globalFrame)> onPin;
    // The selection (global coordinates) as it is copied, saved or pinned; told on the next
    // turn of the main queue, after the session has left the screen.
    std::function<void(const Rect& globalFrame)> onSelectionUsed;
    std::function<bool(const Rect& frame, const Rect& region)> onLongCapture;
    // The undo stack that Control+Z should step, whenever it changes.
    std::function<void(QUndoStack*)> onActiveUndoStack;
    // Once, when every overlay's first frame has been handed to the screen.
    std::function<void()> onShown;

    // Highlights what lies under the pointer, hands it to `paintStill` when given, then shows
    // the overlays.
    void showWindow(const StillPainter& paintStill = {});
    void hideOverlays();
    void close();

    // The session's keys, as they arrive in root `index`'s window; true when handled.
    bool handleKey(const KeyPress& press, bool release, bool repeat, std::size_t index);
    void handleRightClick(Point p, std::size_t index);
    void select(const Rect& rect, std::size_t index);
    void updateSelection(const Rect& rect);
    void reselect(Point p, std::size_t index);
    // Turns the size badge into fields for an exact pixel size (see SelectionSizeEditor).
    void editDimensions();
    bool editingDimensions() const;

    // The key sheet (F1 or "?"), on the display being worked on; -1 while hidden. It shows by
    // itself on the first capture ever shown.
    int keySheetRoot() const { return keySheetRoot_; }
    void toggleKeySheet(std::size_t index);

    void copyImage();
    void saveImage();
    void pinImage();
    void startLongCapture();
    // The text of the selection, in its own window; the session hides meanwhile and comes back
    // when that window closes (unless copied text ended it).
    void recognizeText(bool copyWhenReady);

  private:
    // Highlights what lies under the pointer, where its place is known before it moves.
    void followPointer();
    // Shows overlay `index` in front with the keyboard and the pointer.
    void present(std::size_t index);
    // The selection in global coordinates, while there is one.
    std::optional<Rect> globalSelection() const;
    void reportSelectionUsed();
    void takeInput(std::size_t index, int attempt);
    std::size_t keyRoot(std::size_t eventRoot) const;
    // Keys before a rectangle is chosen.
    bool handleChoosingKey(const KeyPress& press, std::size_t index);
    void nudgeSelection(const KeyPress& press);
    void placeToolbar();
    // With acceptOnSelect: copies the selection just completed, once.
    void acceptSelection();
    void showKeySheet(std::size_t index);
    void hideKeySheet();
    // Keeps the sheet clear of the selection, its badge and the toolbar.
    void placeKeySheet();

    EditorEnvironment environment_;
    AnnotationHost host_;
    std::vector<std::unique_ptr<SelectionViewModel>> models_;
    std::vector<SelectionView*> roots_;
    std::vector<std::unique_ptr<OverlayWindow>> overlays_;
    QPointer<SelectionChrome> chrome_;
    int selectedRoot_ = -1;
    bool closed_ = false;
    std::size_t firstPaints_ = 0;
    int keySheetRoot_ = -1;
    bool keySheetOffered_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tessal
