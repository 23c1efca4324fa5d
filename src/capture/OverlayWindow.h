#pragma once

#include <QUndoStack>
#include <QWidget>
#include <functional>

namespace tessal {

class SelectionView;

// One display's overlay: frameless, above everything (panels and docks included), outside the
// window manager's control, with its own undo history. Its content is a SelectionView.
class OverlayWindow final : public QWidget {
    Q_OBJECT
  public:
    // `fullScreen`: the compositor places the window on the display at `qtGeometry` (Wayland,
    // where clients cannot position windows); otherwise it is placed there directly.
    explicit OverlayWindow(const QRect& qtGeometry, bool fullScreen = false);

    QUndoStack& edits() { return edits_; }
    void setContent(SelectionView* view);
    SelectionView* content() const { return content_; }

    // Shows it in front; with `takeKeyboard` it is activated and its content focused (the
    // keyboard grab itself is the session's, which knows whether it succeeded).
    void present(bool takeKeyboard);

    // Keyboard and pointer were grabbed for this window; the server ends both grabs when it
    // hides, and Qt is told about the keyboard.
    void inputTaken() { keyboardGrabbed_ = true; }

    // The overlay stopped being the active window.
    std::function<void()> onResignKey;

  protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    bool fullScreen_ = false;
    QUndoStack edits_;
    SelectionView* content_ = nullptr;
    bool keyboardGrabbed_ = false;
};

}  // namespace tessal
