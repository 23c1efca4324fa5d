#pragma once

#include <QWidget>
#include <functional>

#include "base/AlertSpec.h"

class QCheckBox;
class QComboBox;

namespace tessal {

class DefaultsStore;
class ScreenshotHistory;

// "Tessal · 截图偏好": whether copying ends the capture, whether the history is kept, the tool
// the editor starts with (listed in the toolbar's order), how many history entries are kept, and
// the interface language (from the next start).
// Every change is written at once; there is no OK button. Created once and reused; follows the
// recording switch when the history window turns it on.
class CapturePreferencesWindow final : public QWidget {
    Q_OBJECT
  public:
    CapturePreferencesWindow(DefaultsStore& defaults, ScreenshotHistory& history,
                             std::function<int(const AlertSpec&)> alert);

    // Loads the stored values into the controls and brings the window to the front.
    void showWindow();
    // Writes all four settings from the controls; prunes the history to the new limit.
    void changed();

    QCheckBox* copyCloses() const { return copyCloses_; }
    QCheckBox* history() const { return history_; }
    QCheckBox* pointer() const { return pointer_; }
    QComboBox* tool() const { return tool_; }
    QComboBox* limit() const { return limit_; }
    QWidget* limitRow() const { return limitRow_; }
    // Follow the system, then each language; applies at the next start.
    QComboBox* language() const { return language_; }

    // The history limit a popup index stands for, and back (any other limit shows "20 张").
    static int limitForIndex(int index);
    static int indexForLimit(int limit);

  private:
    DefaultsStore& defaults_;
    ScreenshotHistory& historyStore_;
    std::function<int(const AlertSpec&)> alert_;
    QCheckBox* copyCloses_ = nullptr;
    QCheckBox* history_ = nullptr;
    QCheckBox* pointer_ = nullptr;
    QComboBox* tool_ = nullptr;
    QComboBox* limit_ = nullptr;
    QWidget* limitRow_ = nullptr;  // the label and the popup, off while the history is off
    QComboBox* language_ = nullptr;
    bool loading_ = false;
};

}  // namespace tessal
