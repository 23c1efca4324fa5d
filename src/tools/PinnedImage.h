#pragma once

#include <QByteArray>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "base/geometry.h"

class QLabel;
class QMenu;
class QSlider;

namespace tessal {

class Pasteboard;

// A finished screenshot floating above other windows: dragged, zoomed with the wheel, made
// translucent, copied as its original PNG and closed with Escape, each pin on its own.
class PinnedImage final : public QWidget {
    Q_OBJECT
  public:
    // Nothing when the data is not an image or the frame (global points) is empty.
    static std::unique_ptr<PinnedImage> create(const QByteArray& png, const Rect& frame,
                                               Pasteboard& pasteboard);

    void showWindow();
    void setZoom(double zoom);
    void setOpacity(double opacity);
    void copyImage();
    void closePin();

    double zoom() const { return zoom_; }
    double opacity() const { return opacity_; }
    bool closed() const { return closed_; }
    Rect globalFrame() const;
    QSlider* transparencySlider() const { return slider_; }
    QLabel* transparencyLabel() const { return sliderLabel_; }
    QMenu* contextMenu() const { return menu_; }

    std::function<void()> onClose;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    PinnedImage(QImage image, QByteArray png, const Rect& frame, Pasteboard& pasteboard);
    void setGlobalFrame(const Rect& frame);

    QImage image_;
    QByteArray png_;
    Pasteboard& pasteboard_;
    Size originalSize_;
    double zoom_ = 1;
    // Kept here: the window stores its opacity in 8 bits, and stepping from that drifts.
    double opacity_ = 1;
    bool closed_ = false;
    QPoint dragOffset_;
    QMenu* menu_ = nullptr;
    QSlider* slider_ = nullptr;
    QLabel* sliderLabel_ = nullptr;
};

}  // namespace tessal
