#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "AnnotationToolbar.h"
#include "Canvas.h"
#include "base/AlertSpec.h"
#include "imaging/PngEncoder.h"
#include "platform/KeyCodes.h"

class QUndoStack;

namespace tessal {

class DefaultsStore;
class MainQueue;
class Pasteboard;
class ScreenshotHistory;

// What every window that hosts the annotation canvas and toolbar shares: the toolbar's wiring
// (tools, style, undo, actions by identifier), style memory, the keys both windows answer, and
// the copy and save steps. A window supplies only what differs through the callbacks: what its
// outcomes (save, pin, close, …) mean, and what happens around a tool change.
class AnnotationHost {
  public:
    // `history`: where copies, saves and pins are recorded; none in tests that do not ask.
    AnnotationHost(DefaultsStore& defaults, Pasteboard& pasteboard, MainQueue& mainQueue,
                   std::function<void(const AlertSpec&)> showError, ScreenshotHistory* history);
    AnnotationHost(const AnnotationHost&) = delete;
    AnnotationHost& operator=(const AnnotationHost&) = delete;
    ~AnnotationHost();

    // Connects a canvas and its toolbar (both owned by Qt parents) and the undo stack the
    // canvas records on; `firstTool` is chosen at once.
    void attach(Canvas* canvas, AnnotationToolbar* toolbar, QUndoStack* edits, int firstTool);
    // Forgets them (the window is about to delete them).
    void detach();

    Canvas* canvas() const { return canvas_; }
    AnnotationToolbar* toolbar() const { return toolbar_; }

    // The window's meaning of each outcome. Close also answers Escape when nothing is being
    // drawn; an action is offered only while its toolbar button is enabled.
    std::function<void()> onSave, onPin, onClose, onLongCapture;
    // After the image went to the clipboard (before a close that may follow).
    std::function<void()> onImageCopied;
    std::function<void(bool copy)> onRecognizeText;
    // After a tool was chosen (from the toolbar or its key).
    std::function<void(int index)> onToolChosen;

    void chooseTool(int index);
    // Runs the action as its button would, if the button is enabled.
    void trigger(ToolbarActionId id);

    // The keys both windows answer alike (tool keys, Escape, Return, Control+C/S/P, Delete and
    // arrows on marks); true when used. Arrows that no mark took return false, so a window may
    // use them for itself.
    bool handleKey(const KeyPress& press, bool repeat);

    // The annotated image at full pixel size and as PNG, made on the PNG worker from a copy of
    // the canvas as it stands: a large canvas takes seconds to encode. `then` runs on the main
    // thread (with nothing when the PNG could not be made), unless this host is gone by then.
    // Without `withPng` only the image is made (its `png` stays empty).
    void encode(std::function<void(const std::optional<EncodedImage>&)> then, bool withPng = true);
    // Puts the image on the clipboard at once (the PNG follows from a worker); closes through
    // onClose unless the preference keeps the window open. A copy or a save marks the undo
    // stack clean: what it holds then exists outside the window.
    void copy();
    // Writes the PNG (made off the main thread) to `path`, then tells `done` whether it was
    // written (after telling the user why not). The undo stack is marked clean only if no mark
    // changed meanwhile.
    void saveTo(const QString& path, std::function<void(bool saved)> done);
    // A window pinned the PNG: it is recorded like a copy or a save.
    void pinned(const QByteArray& png);

    // Opens the text recognition window on the annotated image (whether to copy as soon as it
    // is ready, what to do when text was copied and when the window closed); false when nothing
    // opened. Set by the program; none = recognition is not offered.
    using RecognitionPresenter =
        std::function<bool(const QImage&, bool copyWhenReady, std::function<void()> onCopied,
                           std::function<void()> onClosed)>;
    RecognitionPresenter presentRecognition;
    // Recognises the image's text once its PNG is made on the worker; copied text closes the
    // window or flashes the toolbar as a copy would. `onClosed` runs when the recognition window
    // closed, or as soon as it is clear that none can open.
    void recognizeText(bool copyWhenReady, std::function<void()> onClosed);

    void refreshToolbarStyle();

    // Keys may act on the canvas: it exists and no text is being typed.
    bool acceptsKeys() const;
    // A mark is being drawn or dragged.
    bool drawing() const;

  private:
    void rememberStyle();
    // After a copy: the window closes (the preference) or its toolbar says "copied".
    void copied(bool closes);

    DefaultsStore& defaults_;
    Pasteboard& pasteboard_;
    MainQueue& mainQueue_;
    std::function<void(const AlertSpec&)> showError_;
    ScreenshotHistory* history_;
    QPointer<Canvas> canvas_;
    QPointer<AnnotationToolbar> toolbar_;
    QUndoStack* edits_ = nullptr;
    // Work finished on the PNG worker reports back only while the host lives.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tessal
