#pragma once

#include <vector>

#include "base/geometry.h"

namespace tessal {

// The regions offered under `point` inside `window`, smallest first and the window itself
// last: raw regions clipped to the window, kept when they contain the point and are large
// enough to be panels (shorter side ≥ 60, longer ≥ 100, area ≥ 8000 points), without
// duplicates. Never empty.
std::vector<Rect> childRegionCandidates(const std::vector<Rect>& regions, Point point,
                                        const Rect& window);

}  // namespace tessal
