#pragma once

#include <optional>

#include "base/geometry.h"

namespace tessal {

// How a pin zooms and fades.
namespace PinGeometry {
// The zoom actually used: at most 4, at least 0.1 and never so small that the shorter side is
// under 32 points. Non-finite requests give nothing.
std::optional<double> zoom(double requested, Size original);
// The frame at that zoom around the current centre, kept with 32 points on `visible`.
Rect zoomedFrame(const Rect& current, Size original, double zoom,
                 const std::optional<Rect>& visible);
// Opacity within 0.2…1; non-finite gives nothing.
std::optional<double> opacity(double requested);
// The menu slider (transparency in percent) and its label for an opacity.
int sliderValue(double opacity);
}  // namespace PinGeometry

}  // namespace tessal
