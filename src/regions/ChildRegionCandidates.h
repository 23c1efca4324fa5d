#pragma once

#include <vector>

#include "base/geometry.h"

namespace tessal {

// True when every edge of `a` lies within two points of the same edge of `b`: one panel found
// twice, by the image and by the accessibility tree. A wheel step between the two would change
// nothing the user can see.
bool sameRegion(const Rect& a, const Rect& b);

// The regions offered under `point` inside `window`, smallest first and the window itself
// last: raw regions clipped to the window, kept when they contain the point and are large
// enough to be panels (shorter side ≥ 60, longer ≥ 100, area ≥ 8000 points), each
// panel once (the first found of those that are the `sameRegion`; none that is the window's).
// Never empty.
std::vector<Rect> childRegionCandidates(const std::vector<Rect>& regions, Point point,
                                        const Rect& window);

}  // namespace tessal
