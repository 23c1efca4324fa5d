#pragma once

#include <QByteArray>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "base/geometry.h"
#include "imaging/PngEncoder.h"

class QLabel;
class QMenu;
class QSlider;

namespace tessal {

class Pasteboard;

// A finished screenshot floating above other windows: dragged, zoomed with the wheel, made
// translucent, copied as its original PNG and closed with Escape, each pin on its own. A
// one-pixel frame, and where a compositor draws translucency a soft shadow, surround the image
// in the window; neither is part of the image.
class PinnedImage final : public QWidget {
    Q_OBJECT
  public:
    // Nothing when the image is null or the frame (global points) is empty. Without a
    // compositor (`composited` false) window opacity shows nothing: the pin offers none, says
    // why, and has no shadow.
    static std::unique_ptr<PinnedImage> create(const EncodedImage& image, const Rect& frame,
                                               Pasteboard& pasteboard, bool composited = true);

    static constexpr int frameWidth = 1;
    static constexpr int shadowWidth = 6;

    void showWindow();
    void setZoom(double zoom);
    void setOpacity(double opacity);
    void copyImage();
    void closePin();

    double zoom() const { return zoom_; }
    double opacity() const { return opacity_; }
    bool closed() const { return closed_; }
    // The image's frame, without the frame line and shadow around it.
    Rect globalFrame() const;
    // The window pixels outside the image on each side.
    int margin() const { return margin_; }
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
    PinnedImage(QImage image, QByteArray png, const Rect& frame, Pasteboard& pasteboard,
                bool composited);
    void setGlobalFrame(const Rect& frame);

    QImage image_;
    QByteArray png_;
    Pasteboard& pasteboard_;
    Size originalSize_;
    bool composited_;
    int margin_;
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
