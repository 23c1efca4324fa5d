#include "ScreenCoordinates.h"

#include <algorithm>
#include <cmath>

namespace tessal {

namespace {

// Pixels per point along one axis. A display at a fractional scale has a logical size that is
// not whole (1600 pixels at 1.5 are 1066.67 points) and is given cut to 1066: the ratio is taken
// to the nearest 1/120, the step in which fractional scales are stated, wherever that still
// places the far edge within a pixel.
double pixelsPerPoint(int pixels, double points) {
    const double ratio = pixels / points;
    const double stated = std::round(ratio * 120) / 120;
    return stated > 0 && std::abs(stated * points - pixels) <= 1 ? stated : ratio;
}

}  // namespace

double primaryTop(const std::vector<Rect>& displayFrames) {
    return displayFrames.empty() ? 0 : displayFrames.front().maxY();
}

std::optional<Rect> localWindowRect(const Rect& windowListRect, const Rect& screen,
                                    double primaryTop) {
    const Rect global(windowListRect.origin.x,
                      primaryTop - (windowListRect.origin.y + windowListRect.size.height),
                      windowListRect.size.width, windowListRect.size.height);
    const Rect clipped = global.intersected(screen);
    if (clipped.isNull() || clipped.width() < 3 || clipped.height() < 3) return std::nullopt;
    return clipped.offsetBy(-screen.minX(), -screen.minY());
}

QRect pixelCrop(const Rect& selection, Size screenSize, QSize imageSize) {
    if (selection.isNull() || screenSize.width <= 0 || screenSize.height <= 0) return {};
    const double sx = pixelsPerPoint(imageSize.width(), screenSize.width);
    const double sy = pixelsPerPoint(imageSize.height(), screenSize.height);
    const double left = std::floor(selection.minX() * sx);
    // A selection that reaches the display's far edges takes the image to its edges, also where
    // the display's size in points was cut.
    const double right = selection.maxX() >= screenSize.width ? double(imageSize.width())
                                                              : std::ceil(selection.maxX() * sx);
    const double top = std::floor((screenSize.height - selection.maxY()) * sy);
    const double bottom = selection.minY() <= 0
                              ? double(imageSize.height())
                              : std::ceil((screenSize.height - selection.minY()) * sy);
    // Clip in floating point first: a selection far outside must not overflow an int.
    const double x0 = std::max(left, 0.0);
    const double y0 = std::max(top, 0.0);
    const double x1 = std::min(right, double(imageSize.width()));
    const double y1 = std::min(bottom, double(imageSize.height()));
    if (!(x1 > x0) || !(y1 > y0)) return {};
    return QRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
}

Point pointedPixelCentre(Point p, Size screenSize, QSize imageSize) {
    if (imageSize.isEmpty() || screenSize.width <= 0 || screenSize.height <= 0) return p;
    const double sx = pixelsPerPoint(imageSize.width(), screenSize.width);
    const double sy = pixelsPerPoint(imageSize.height(), screenSize.height);
    // Clamp in floating point: points far outside must not overflow anything.
    auto pixel = [](double v, int count) {
        return std::clamp(std::isnan(v) ? 0.0 : std::floor(v), 0.0, double(count - 1));
    };
    const double column = pixel(p.x * sx, imageSize.width());
    const double row = pixel((screenSize.height - p.y) * sy, imageSize.height());
    return {(column + 0.5) / sx, screenSize.height - (row + 0.5) / sy};
}

Rect snappedSelection(const QRect& crop, Size screenSize, QSize imageSize) {
    if (imageSize.isEmpty() || screenSize.width <= 0 || screenSize.height <= 0) return Rect::null();
    const double sx = pixelsPerPoint(imageSize.width(), screenSize.width);
    const double sy = pixelsPerPoint(imageSize.height(), screenSize.height);
    const double bottom = crop.y() + crop.height();
    return {crop.x() / sx, screenSize.height - bottom / sy, crop.width() / sx, crop.height() / sy};
}

}  // namespace tessal
