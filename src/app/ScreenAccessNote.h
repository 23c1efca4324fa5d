#pragma once

#include <QWidget>
#include <functional>

namespace tessal {

// Shown while the desktop asks the user whether Tessal may take screenshots (its own dialog,
// which can wait for any time): says what that dialog is for, and how to give up. Escape, the
// button or closing the note cancels. It does not take the focus from the desktop's dialog.
class ScreenAccessNote final : public QWidget {
  public:
    explicit ScreenAccessNote(std::function<void()> onCancel);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void cancel();
    std::function<void()> onCancel_;
};

}  // namespace tessal
