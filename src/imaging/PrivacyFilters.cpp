#include "PrivacyFilters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tessal {
namespace {

// Box widths whose three passes approximate a Gaussian of the given sigma.
std::array<int, 3> boxRadii(double sigma) {
    const int n = 3;
    const double ideal = std::sqrt(12 * sigma * sigma / n + 1);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0) --lower;
    lower = std::max(lower, 1);
    const int upper = lower + 2;
    const double m = std::round(
        (12 * sigma * sigma - n * lower * lower - 4.0 * n * lower - 3.0 * n) / (-4.0 * lower - 4));
    std::array<int, 3> radii{};
    for (int i = 0; i < n; ++i) radii[i] = ((i < m ? lower : upper) - 1) / 2;
    return radii;
}

// One box pass along a line of `count` pixels, `stride` uint32 apart, edges clamped.
void boxLine(const std::uint32_t* in, std::uint32_t* out, int count, int stride, int r) {
    if (r <= 0) {
        for (int i = 0; i < count; ++i) out[i * stride] = in[i * stride];
        return;
    }
    const int window = 2 * r + 1;
    auto at = [&](int i) { return in[std::clamp(i, 0, count - 1) * stride]; };
    std::uint32_t sum[4] = {0, 0, 0, 0};
    for (int i = -r; i <= r; ++i) {
        const std::uint32_t p = at(i);
        for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xff;
    }
    for (int i = 0; i < count; ++i) {
        std::uint32_t value = 0;
        for (int c = 0; c < 4; ++c) value |= ((sum[c] + window / 2) / window) << (8 * c);
        out[i * stride] = value;
        const std::uint32_t leaving = at(i - r), entering = at(i + r + 1);
        for (int c = 0; c < 4; ++c)
            sum[c] += ((entering >> (8 * c)) & 0xff) - ((leaving >> (8 * c)) & 0xff);
    }
}

}  // namespace

QImage gaussianBlur(const QImage& source, const QRect& region, double sigma) {
    const QRect target = region.normalized();
    if (source.isNull() || target.isEmpty()) return {};
    const QImage image = source.format() == QImage::Format_ARGB32_Premultiplied
                             ? source
                             : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const std::array<int, 3> radii = boxRadii(std::max(sigma, 0.0));
    const int margin = radii[0] + radii[1] + radii[2] + 1;
    const QRect work = target.adjusted(-margin, -margin, margin, margin);
    const int w = work.width(), h = work.height();

    // The work area, read with the image's edges extended outwards.
    std::vector<std::uint32_t> a(std::size_t(w) * h), b(std::size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const int sy = std::clamp(work.top() + y, 0, image.height() - 1);
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(sy));
        for (int x = 0; x < w; ++x)
            a[std::size_t(y) * w + x] = row[std::clamp(work.left() + x, 0, image.width() - 1)];
    }
    for (int r : radii) {
        for (int y = 0; y < h; ++y)
            boxLine(&a[std::size_t(y) * w], &b[std::size_t(y) * w], w, 1, r);
        for (int x = 0; x < w; ++x) boxLine(&b[x], &a[x], h, w, r);
    }
    QImage result(target.size(), QImage::Format_ARGB32_Premultiplied);
    if (result.isNull()) return {};
    for (int y = 0; y < target.height(); ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(result.scanLine(y));
        const std::uint32_t* in = &a[std::size_t(y + margin) * w + margin];
        std::copy(in, in + target.width(), out);
    }
    return result;
}

QImage pixellate(const QImage& source, const QRect& region, int block) {
    const QRect target = region.normalized().intersected(source.rect());
    if (source.isNull() || target.isEmpty()) return {};
    block = std::max(block, 1);
    const QImage image = source.format() == QImage::Format_ARGB32_Premultiplied
                             ? source
                             : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage result(target.size(), QImage::Format_ARGB32_Premultiplied);
    if (result.isNull()) return {};
    const int firstColumn = target.left() / block, lastColumn = target.right() / block;
    const int firstRow = target.top() / block, lastRow = target.bottom() / block;
    for (int by = firstRow; by <= lastRow; ++by) {
        const int y0 = by * block, y1 = std::min(y0 + block, image.height());
        for (int bx = firstColumn; bx <= lastColumn; ++bx) {
            const int x0 = bx * block, x1 = std::min(x0 + block, image.width());
            std::uint64_t sum[4] = {0, 0, 0, 0};
            for (int y = y0; y < y1; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
                for (int x = x0; x < x1; ++x)
                    for (int c = 0; c < 4; ++c) sum[c] += (row[x] >> (8 * c)) & 0xff;
            }
            const std::uint64_t n = std::uint64_t(x1 - x0) * (y1 - y0);
            std::uint32_t colour = 0;
            for (int c = 0; c < 4; ++c) colour |= std::uint32_t((sum[c] + n / 2) / n) << (8 * c);
            const QRect cell = QRect(x0, y0, x1 - x0, y1 - y0).intersected(target);
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                auto* out = reinterpret_cast<std::uint32_t*>(result.scanLine(y - target.top()));
                std::fill(out + (cell.left() - target.left()),
                          out + (cell.right() + 1 - target.left()), colour);
            }
        }
    }
    return result;
}

}  // namespace tessal
