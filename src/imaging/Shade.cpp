#include "Shade.h"

#include <algorithm>
#include <cstdint>

namespace tessal {

QImage shadedImage(const QImage& source, double opacity) {
    if (source.isNull()) return {};
    QImage image = source.format() == QImage::Format_RGB32
                       ? source.copy()
                       : source.convertToFormat(QImage::Format_RGB32);
    // Fixed-point factor: 256 × (1 − opacity), applied to the three colour bytes at once in
    // two lanes so the loop stays branch-free and vectorisable.
    const std::uint32_t f = static_cast<std::uint32_t>(std::clamp(1.0 - opacity, 0.0, 1.0) * 256 + 0.5);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = row[x];
            const std::uint32_t rb = (((p & 0x00ff00ffu) * f) >> 8) & 0x00ff00ffu;
            const std::uint32_t g = (((p & 0x0000ff00u) * f) >> 8) & 0x0000ff00u;
            row[x] = 0xff000000u | rb | g;
        }
    }
    image.setDevicePixelRatio(source.devicePixelRatio());
    return image;
}

}  // namespace tessal
