#pragma once

#include <QByteArray>
#include <QImage>
#include <QPointer>
#include <QUndoStack>
#include <QWidget>
#include <functional>
#include <optional>

#include "annotation/AnnotationHost.h"
#include "base/AlertSpec.h"

class QScrollArea;

namespace tessal {

class Clock;
class DefaultsStore;
class MainQueue;
class Pasteboard;
class ScreenshotHistory;

struct ResultEnvironment {
    MainQueue& mainQueue;
    const Clock& clock;
    Pasteboard& pasteboard;
    DefaultsStore& defaults;
    std::function<std::optional<QString>()> chooseSavePath;
    std::function<void(const AlertSpec&)> showError;
    ScreenshotHistory* history;
    // Opens text recognition on an image; none = not offered.
    AnnotationHost::RecognitionPresenter recognizeText;
    // Asks a question and returns the chosen button; none = closing never asks.
    std::function<int(const AlertSpec&)> ask{};
};

// A window in which any image (a long capture, a history entry, a file) is annotated with the
// capture's canvas and toolbar, then copied, saved or pinned. Closing it (Escape, its close
// button, the window manager's) while it holds marks that were neither copied nor saved asks
// first whether to save them.
class LongScreenshotResult final : public QWidget {
    Q_OBJECT
  public:
    LongScreenshotResult(const QImage& image, const QString& title,
                         std::function<bool(const EncodedImage&)> onPin,
                         ResultEnvironment environment);
    ~LongScreenshotResult() override;

    Canvas& canvas() { return *host_.canvas(); }
    AnnotationToolbar& toolbar() { return *host_.toolbar(); }
    QUndoStack& edits() { return edits_; }
    bool closed() const { return closed_; }
    // The scale the image is shown at: one point per pixel, narrower for wide images.
    static double displayScale(int pixelWidth);

    void copyImage();
    void saveImage();
    // Closes at once, whatever is unsaved.
    void closeWindow();
    // Closes unless the user, asked about unsaved marks, keeps editing or cancels the save.
    void requestClose();
    // The question asked then.
    static AlertSpec discardQuestion();
    // The window's keys; true when used.
    bool handleKey(const KeyPress& press, bool repeat);

    std::function<void()> onClose;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutContent();
    // Writes the image where the user chooses; false when nothing was written.
    // Asks where, writes the PNG (made off the main thread), and closes once it is written.
    void saveThenClose();
    // True when the window may close: nothing unsaved, or the user saved or discarded it.
    bool confirmClose();

    ResultEnvironment environment_;
    std::function<bool(const EncodedImage&)> onPin_;
    QUndoStack edits_;
    AnnotationHost host_;
    QScrollArea* scroll_ = nullptr;
    bool closed_ = false;
    // A save or a pin is making its PNG.
    bool saving_ = false;
};

}  // namespace tessal
