#pragma once

#include <QImage>
#include <QWidget>

namespace tessal {

// The live preview of a long capture: the result so far fitted to the view, its trimmed ends
// shaded, and a box where the newest frame sits, blue while frames match and red when not.
class LongCapturePreview final : public QWidget {
  public:
    explicit LongCapturePreview(QWidget* parent = nullptr);

    QImage image;  // already in the capture's orientation
    double viewportFraction = 1.0;
    double leadingCrop = 0;
    double trailingCrop = 0;
    bool reverseDirection = false;
    bool horizontal = false;
    bool matched = true;

    // Where the image is drawn inside the view; empty without an image.
    QRectF imageRect() const;
    // The current-frame box (before its 1-point inset).
    QRectF frameBox() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The panel that holds the preview: it never takes the focus, so showing it leaves the source
// application in front.
class LongCapturePanel final : public QWidget {
  public:
    LongCapturePanel();
    LongCapturePreview* preview() const { return preview_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    LongCapturePreview* preview_;
};

}  // namespace tessal
