#pragma once

#include <QSize>
#include <QVariantList>
#include <optional>
#include <vector>

#include "base/ScreenCoordinates.h"
#include "base/ScreenSnapshot.h"
#include "base/geometry.h"

namespace tessal {

// The selectable windows of a window list (front to back, window-list coordinates): other
// programs' ordinary, visible windows of at least 30 × 30 points. Malformed entries are skipped.
std::vector<WindowTarget> captureWindowTargets(const QVariantList& windowList, int excludedPid);

}  // namespace tessal
