#pragma once

#include <QSize>
#include <optional>

#include "base/geometry.h"

namespace tessal {

// "设置截图尺寸": the width and height in pixels. Returns what was typed when confirmed (not
// validated: the caller ignores what is not a number of at least 1), nothing when cancelled.
std::optional<Size> runSizeDialog(QSize current);

}  // namespace tessal
