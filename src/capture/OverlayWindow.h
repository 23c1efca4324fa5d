#pragma once

#include <QImage>
#include <QUndoStack>
#include <QWidget>
#include <functional>

namespace tessal {

// The frozen image of one display, covering that display above everything else, with the
// keyboard and pointer grabbed while it is shown.
class OverlayWindow final : public QWidget {
    Q_OBJECT
  public:
    OverlayWindow(const QImage& image, const QRect& qtGeometry);

    QUndoStack& edits() { return edits_; }
    void present();

    // Escape or a right click before anything was chosen.
    std::function<void()> onCancel;

  protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QImage image_;
    QUndoStack edits_;
};

}  // namespace tessal
