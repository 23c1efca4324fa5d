#include "PixelSample.h"

#include <algorithm>
#include <cmath>

namespace tessal {

QString PixelSample::hex() const {
    return QString::asprintf("#%02X%02X%02X", color.red(), color.green(), color.blue());
}

PixelSample samplePixel(const QImage& image, Point p, const Rect& bounds) {
    PixelSample sample;
    if (image.isNull() || bounds.width() <= 0 || bounds.height() <= 0) return sample;
    const int w = image.width(), h = image.height();
    // Clamp in floating point: pointers far outside must not overflow the integer conversion.
    const double fx = std::trunc((p.x - bounds.minX()) / bounds.width() * w);
    const double fy = (h - 1) - std::trunc((p.y - bounds.minY()) / bounds.height() * h);
    sample.x = static_cast<int>(std::clamp(std::isfinite(fx) ? fx : 0.0, 0.0, double(w - 1)));
    sample.y = static_cast<int>(std::clamp(std::isfinite(fy) ? fy : 0.0, 0.0, double(h - 1)));
    const QRgb premultiplied = qPremultiply(image.pixel(sample.x, sample.y));
    const int a = std::max(qAlpha(premultiplied), 1);
    auto unmultiply = [a](int c) { return std::min(255, (c * 255 + a / 2) / a); };
    sample.color = QColor(unmultiply(qRed(premultiplied)), unmultiply(qGreen(premultiplied)),
                          unmultiply(qBlue(premultiplied)));
    return sample;
}

Rect magnifierFrame(Point p, const Rect& r) {
    const double W = magnifierSize.width, H = magnifierSize.height;
    double x0 = p.x + 22;
    if (x0 + W > r.maxX() - 8) x0 = p.x - W - 22;
    double y0 = p.y - H - 22;
    if (y0 < r.minY() + 8) y0 = p.y + 22;
    x0 = std::max(std::min(x0, r.maxX() - W - 8), r.minX() + 8);
    y0 = std::max(std::min(y0, r.maxY() - H - 8), r.minY() + 8);
    return {x0, y0, W, H};
}

}  // namespace tessal
