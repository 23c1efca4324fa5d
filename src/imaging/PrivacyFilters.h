#pragma once

#include <QImage>
#include <QRect>

namespace tessal {

// Gaussian blur of `region` of `image` with standard deviation `sigma` pixels, the image's
// edges extended outwards (clamped). Three running-sum box passes per axis, so the cost per
// pixel does not grow with sigma. Returns an ARGB32 premultiplied image of region's size.
QImage gaussianBlur(const QImage& image, const QRect& region, double sigma);

// `region` of `image` in blocks of `block` pixels on a grid anchored at the image's top-left
// corner, each block filled with the average of the whole block (so overlapping regions agree).
QImage pixellate(const QImage& image, const QRect& region, int block);

}  // namespace tessal
