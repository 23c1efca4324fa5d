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
};

// A window in which any image (a long capture, a history entry, a file) is annotated with the
// capture's canvas and toolbar, then copied, saved or pinned.
class LongScreenshotResult final : public QWidget {
    Q_OBJECT
  public:
    LongScreenshotResult(const QImage& image, const QString& title,
                         std::function<bool(const QByteArray&)> onPin,
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
    void closeWindow();
    // The window's keys; true when used.
    bool handleKey(const KeyPress& press, bool repeat);

    std::function<void()> onClose;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutContent();

    ResultEnvironment environment_;
    std::function<bool(const QByteArray&)> onPin_;
    QUndoStack edits_;
    AnnotationHost host_;
    QScrollArea* scroll_ = nullptr;
    bool closed_ = false;
};

}  // namespace tessal
