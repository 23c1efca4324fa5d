#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "ScrollStitcher.h"

namespace tessal {

// The view of the trim dialog: the whole result with two blue lines where it will be cut;
// dragging a line sets how many rows go from that end.
class LongCaptureCropView final : public QWidget {
  public:
    // `image` is the result turned to the vertical axis.
    LongCaptureCropView(const QImage& image, LongCaptureAxis axis, LongCaptureCrop crop,
                        QWidget* parent = nullptr);

    LongCaptureCrop crop() const { return crop_; }
    void setCrop(LongCaptureCrop crop);
    std::function<void(LongCaptureCrop)> onChange;

    QRectF imageRect() const;
    // The positions of the two lines along the axis, in view coordinates.
    double leadingLine() const;
    double trailingLine() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    double along(const QPointF& p) const;
    void dragTo(const QPointF& p);

    QImage shown_;  // in the capture's orientation
    int rows_;      // the long side: the normalised image's height
    LongCaptureAxis axis_;
    LongCaptureCrop crop_;
    bool draggingTop_ = true;
};

}  // namespace tessal
