#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <optional>

#include "PixelSample.h"

namespace tessal {

class Pasteboard;

// The panel that follows the pointer while choosing: the pixels around it enlarged eight
// times, their coordinates, colour and the Alt+C hint. It never takes clicks.
class PixelMagnifier final : public QWidget {
    Q_OBJECT
  public:
    PixelMagnifier(const QImage& image, QWidget* parent);

    // p and bounds in the parent view's y-up points.
    void update(Point p, const Rect& bounds);
    // Puts the sample's hex text on the pasteboard; false without a sample.
    bool copyColor(Pasteboard& pasteboard);

    const std::optional<PixelSample>& sample() const { return sample_; }
    bool copied() const { return copied_; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QImage image_;
    std::optional<PixelSample> sample_;
    bool copied_ = false;
    QFont labelFont_;
};

}  // namespace tessal
