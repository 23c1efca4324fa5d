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

// a + (b − a) × t / 256 for all four channels, two at a time.
inline std::uint32_t lerp(std::uint32_t a, std::uint32_t b, std::uint32_t t) {
    const std::uint32_t rb =
        (((a & 0x00ff00ffu) * (256 - t) + (b & 0x00ff00ffu) * t) >> 8) & 0x00ff00ffu;
    const std::uint32_t ag =
        ((((a >> 8) & 0x00ff00ffu) * (256 - t) + ((b >> 8) & 0x00ff00ffu) * t) >> 8) & 0x00ff00ffu;
    return rb | (ag << 8);
}

}  // namespace

QImage gaussianBlur(const QImage& source, const QRect& region, double sigma) {
    const QRect target = region.normalized();
    if (source.isNull() || target.isEmpty()) return {};
    const QImage image = source.format() == QImage::Format_ARGB32_Premultiplied
                             ? source
                             : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    sigma = std::max(sigma, 0.0);
    // Wide blurs run on a reduced grid (anchored at the image's origin, so neighbouring pieces
    // agree) and are interpolated back: the result is as smooth, the cost per output pixel
    // stays flat however wide the blur.
    const int f = std::clamp(static_cast<int>(sigma / 6), 1, 16);
    const std::array<int, 3> radii = boxRadii(sigma / f);
    const int margin = (radii[0] + radii[1] + radii[2] + 2) * f;
    auto down = [f](int v) { return v >= 0 ? v / f : -((-v + f - 1) / f); };
    const int left = down(target.left() - margin), top = down(target.top() - margin);
    const int w = down(target.right() + margin) - left + 1;
    const int h = down(target.bottom() + margin) - top + 1;

    // The reduced work area: each cell the average of its f × f pixels, the image's edges
    // extended outwards. Channels are summed two at a time in 16-bit lanes (f ≤ 16 keeps
    // 256 × 255 within a lane).
    std::vector<std::uint32_t> a(std::size_t(w) * h), b(std::size_t(w) * h);
    std::vector<int> columns(std::size_t(w) * f);
    for (int i = 0; i < w * f; ++i) columns[i] = std::clamp(left * f + i, 0, image.width() - 1);
    std::vector<std::uint32_t> rb(w), ag(w);
    const std::uint32_t n = std::uint32_t(f) * f;
    for (int cy = 0; cy < h; ++cy) {
        std::fill(rb.begin(), rb.end(), 0);
        std::fill(ag.begin(), ag.end(), 0);
        for (int dy = 0; dy < f; ++dy) {
            const int sy = std::clamp((top + cy) * f + dy, 0, image.height() - 1);
            const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(sy));
            const int* column = columns.data();
            for (int cx = 0; cx < w; ++cx, column += f) {
                std::uint32_t sumRb = 0, sumAg = 0;
                for (int dx = 0; dx < f; ++dx) {
                    const std::uint32_t p = row[column[dx]];
                    sumRb += p & 0x00ff00ffu;
                    sumAg += (p >> 8) & 0x00ff00ffu;
                }
                rb[cx] += sumRb;
                ag[cx] += sumAg;
            }
        }
        for (int cx = 0; cx < w; ++cx) {
            const std::uint32_t bl = ((rb[cx] & 0xffff) + n / 2) / n,
                                r = ((rb[cx] >> 16) + n / 2) / n;
            const std::uint32_t g = ((ag[cx] & 0xffff) + n / 2) / n,
                                al = ((ag[cx] >> 16) + n / 2) / n;
            a[std::size_t(cy) * w + cx] = bl | (g << 8) | (r << 16) | (al << 24);
        }
    }
    for (int r : radii) {
        for (int y = 0; y < h; ++y)
            boxLine(&a[std::size_t(y) * w], &b[std::size_t(y) * w], w, 1, r);
        for (int x = 0; x < w; ++x) boxLine(&b[x], &a[x], h, w, r);
    }

    QImage result(target.size(), QImage::Format_ARGB32_Premultiplied);
    if (result.isNull()) return {};
    if (f == 1) {
        for (int y = 0; y < target.height(); ++y) {
            auto* out = reinterpret_cast<std::uint32_t*>(result.scanLine(y));
            const std::uint32_t* in =
                &a[std::size_t(target.top() + y - top) * w + (target.left() - left)];
            std::copy(in, in + target.width(), out);
        }
        return result;
    }
    // Bilinear interpolation between cell centres.
    std::vector<int> x0(target.width());
    std::vector<std::uint32_t> fx(target.width());
    for (int x = 0; x < target.width(); ++x) {
        const double gx = (target.left() + x + 0.5) / f - 0.5 - left;
        const int ix = std::clamp(int(std::floor(gx)), 0, w - 2);
        x0[x] = ix;
        fx[x] = std::uint32_t(std::clamp(gx - ix, 0.0, 1.0) * 256);
    }
    for (int y = 0; y < target.height(); ++y) {
        const double gy = (target.top() + y + 0.5) / f - 0.5 - top;
        const int iy = std::clamp(int(std::floor(gy)), 0, h - 2);
        const std::uint32_t fy = std::uint32_t(std::clamp(gy - iy, 0.0, 1.0) * 256);
        const std::uint32_t* r0 = &a[std::size_t(iy) * w];
        const std::uint32_t* r1 = r0 + w;
        auto* out = reinterpret_cast<std::uint32_t*>(result.scanLine(y));
        for (int x = 0; x < target.width(); ++x) {
            const int ix = x0[x];
            out[x] = lerp(lerp(r0[ix], r0[ix + 1], fx[x]), lerp(r1[ix], r1[ix + 1], fx[x]), fy);
        }
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
