#pragma once

#include <QImage>

namespace tessal {

// The image under a black layer of the given opacity (0.4 dims to 60 %), as an opaque
// RGB32 image of the same size and device pixel ratio.
QImage shadedImage(const QImage& image, double opacity);

}  // namespace tessal
