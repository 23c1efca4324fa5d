#pragma once

#include <QImage>
#include <QUuid>
#include <QWidget>
#include <atomic>
#include <functional>
#include <map>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tessal {

class MainQueue;
class Pasteboard;
class TextRecognizer;

struct TextRecognitionEnvironment {
    MainQueue& mainQueue;
    Pasteboard& pasteboard;
    // None: recognition is not installed here.
    TextRecognizer* recognizer;
    // Runs the recognition off the main thread.
    std::function<void(std::function<void()>)> worker;
};

// "Tessal · 识别文字": the text of an image, recognised at once, shown for editing and copied
// with "复制文字" (Return) — or as soon as it is ready when asked to. "返回" (Escape) and the
// close box close it; a recognition still running is then cancelled and never shown.
class TextRecognitionWindow final : public QWidget {
  public:
    TextRecognitionWindow(const QImage& image, bool copyWhenReady,
                          TextRecognitionEnvironment environment);
    ~TextRecognitionWindow() override;

    std::function<void()> onCopied;
    std::function<void()> onClose;

    void copyText();
    void returnToEditor() { closeWindow(); }
    void closeWindow();
    bool closed() const { return closed_; }
    // Stops this window's recognition (only this window's); its result is never shown.
    void cancelRecognition();

    QLabel* statusLabel() const { return status_; }
    QPlainTextEdit* textView() const { return text_; }
    QPushButton* copyButton() const { return copy_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Return in the text copies (Shift+Return starts a new line); Escape goes back.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void start(const QImage& image);

    TextRecognitionEnvironment environment_;
    bool copyWhenReady_;
    QLabel* status_;
    QPlainTextEdit* text_;
    QPushButton* back_;
    QPushButton* copy_;
    bool closed_ = false;
    std::shared_ptr<std::atomic<bool>> cancelled_ = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The open recognition windows, each kept until it closes.
class TextRecognitionWindows {
  public:
    explicit TextRecognitionWindows(TextRecognitionEnvironment environment);
    ~TextRecognitionWindows();

    // Opens a window on `image` and shows it in front; false (and no window) for a null image.
    bool present(const QImage& image, bool copyWhenReady, std::function<void()> onCopied,
                 std::function<void()> onClose);
    std::size_t count() const { return active_.size(); }
    // Stops every window's recognition (at quit: the queue then drains at once).
    void cancelAll();
    TextRecognitionWindow* any() const;

  private:
    TextRecognitionEnvironment environment_;
    std::map<QUuid, std::unique_ptr<TextRecognitionWindow>> active_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tessal
