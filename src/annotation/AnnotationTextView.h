#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace tessal {

// The in-place editor of a text mark: Return inserts a line break, Control+Return confirms,
// Escape cancels.
class AnnotationTextView final : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit AnnotationTextView(QWidget* parent);

    std::function<void()> onFinish;
    std::function<void()> onCancel;
    void setStringValue(const QString& text);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Leaving the field ends the editing as a confirmation does.
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace tessal
