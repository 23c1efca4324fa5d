#pragma once

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace tessal {

class LongCaptureMoveButton;
class ToolbarIconButton;

// The control window of a long capture, "Tessal · 长截图": one row of controls and a status
// line. It shows without taking the focus; the long capture wires the controls.
class LongCaptureControlWindow final : public QWidget {
  public:
    LongCaptureControlWindow();

    QLabel* dimensions;
    LongCaptureMoveButton* moveButton;
    QComboBox* direction;
    QPushButton* autoButton;
    QComboBox* speed;
    ToolbarIconButton* pauseButton;
    ToolbarIconButton* trimButton;
    QCheckBox* automaticCrop;
    ToolbarIconButton* editButton;
    ToolbarIconButton* pinButton;
    ToolbarIconButton* saveButton;
    ToolbarIconButton* closeButton;
    ToolbarIconButton* copyButton;
    QLabel* status;

    // Shows the pause button as "stop" while capturing and "start" while paused.
    void showPaused(bool paused);
    // The window's close box: the capture decides.
    std::function<void()> onCloseRequest;

  protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace tessal
