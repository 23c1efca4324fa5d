#include "PinGeometry.h"

#include <algorithm>
#include <cmath>

namespace tessal {

std::optional<double> PinGeometry::zoom(double requested, Size original) {
    if (!std::isfinite(requested)) return std::nullopt;
    const double shorter = std::min(original.width, original.height);
    const double lower = shorter > 0 ? std::max(32 / shorter, 0.1) : 0.1;
    return std::min(std::max(requested, lower), 4.0);
}

Rect PinGeometry::zoomedFrame(const Rect& current, Size original, double z,
                              const std::optional<Rect>& visible) {
    const double w = original.width * z, h = original.height * z;
    double x = current.midX() - w / 2, y = current.midY() - h / 2;
    if (visible) {
        x = std::min(std::max(x, visible->minX() - w + 32), visible->maxX() - 32);
        y = std::min(std::max(y, visible->minY() - h + 32), visible->maxY() - 32);
    }
    return {x, y, w, h};
}

std::optional<double> PinGeometry::opacity(double requested) {
    if (!std::isfinite(requested)) return std::nullopt;
    return std::min(std::max(requested, 0.2), 1.0);
}

int PinGeometry::sliderValue(double opacity) {
    return int(std::lround((1 - opacity) * 100));
}

}  // namespace tessal
