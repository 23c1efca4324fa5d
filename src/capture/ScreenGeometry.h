#pragma once

#include <QSize>
#include <QVariantList>
#include <optional>
#include <vector>

#include "base/ScreenCoordinates.h"
#include "base/ScreenSnapshot.h"
#include "base/geometry.h"

namespace tessal {

// One window-list entry as read, each field present only when it holds a usable value.
struct WindowListEntry {
    std::optional<unsigned> number;
    std::optional<int> pid;  // 1 … 2^31 − 1
    std::optional<double> layer;
    std::optional<double> alpha;  // present and numeric only
    std::optional<Rect> bounds;   // finite
    std::optional<Rect> content;  // finite
    bool focused = false;         // true only when the list says so with a boolean
};
// The entries of a window list in its order (front to back); entries that are not maps are
// skipped.
std::vector<WindowListEntry> parseWindowList(const QVariantList& windowList);

// The selectable windows of a window list (front to back, window-list coordinates): other
// programs' ordinary, visible windows of at least 30 × 30 points. Malformed entries are skipped.
std::vector<WindowTarget> captureWindowTargets(const QVariantList& windowList, int excludedPid);

}  // namespace tessal
