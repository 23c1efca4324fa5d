#pragma once

#include <optional>
#include <vector>

#include "base/geometry.h"

namespace tessal {

class AccessibilityService;
class Clock;

// Frames of the accessibility elements around `point` in the application `pid`, in screen-local
// points of the display `screen` (global points): the ancestors of the element under the point,
// then the descendants of the matching window whose frames contain the point. Bounded by 0.6 s,
// 12 ancestors, 96 visited elements, depth 16 and 96 children per element.
std::vector<Rect> accessibleChildRegions(AccessibilityService& service, const Clock& clock, int pid,
                                         Point point, const Rect& screen, double primaryTop,
                                         const std::optional<Rect>& window);

// Readies each application once per run of the program; safe from any thread.
void prepareAccessibility(AccessibilityService& service, int pid);
// Forgets which applications were readied (tests).
void resetPreparedAccessibility();

}  // namespace tessal
