#pragma once

#include <QObject>
#include <QPointer>

#include "CaptureShortcut.h"

class QKeyEvent;
class QLabel;
class QMessageBox;

namespace tessal {

// The recording dialog "设置截图快捷键": every allowed combination pressed while it is up becomes
// the candidate; Return and Escape still press its buttons.
class ShortcutDialog final : public QObject {
    Q_OBJECT
  public:
    enum class Choice { save, cancel, restoreDefault };
    struct Outcome {
        Choice choice;
        CaptureShortcut candidate;
    };

    explicit ShortcutDialog(const CaptureShortcut& current);
    ~ShortcutDialog() override;

    Outcome run();

    // Takes the key press when it records a shortcut; returns whether it did.
    bool record(const KeyPress& press);
    const CaptureShortcut& candidate() const { return candidate_; }
    QMessageBox* box() const { return box_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    CaptureShortcut candidate_;
    QMessageBox* box_;
    QLabel* label_;
};

}  // namespace tessal
