#pragma once

#include <QImage>
#include <vector>

#include "base/geometry.h"

namespace tessal {

// The large, flat-coloured, clearly bordered areas (panels, cards, sidebars) inside `window`,
// found from the pixels alone: screen-local points, each inside the window and not equal to it,
// smallest first, at most 256. Pure; callable from any thread.
std::vector<Rect> visualChildRegions(const QImage& image, Size screenSize, const Rect& window);

}  // namespace tessal
