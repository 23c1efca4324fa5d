#include "VisualChildRegions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

#include "base/ScreenCoordinates.h"

namespace tessal {
namespace {

constexpr int kLongestSide = 1536;
constexpr int kTolerance = 10;
constexpr double kShortestSide = 58;
constexpr double kLongSide = 98;
constexpr double kArea = 7600;
constexpr double kFill = 0.55;
constexpr int kSamples = 40;
constexpr int kInteriorRequired = 30;
constexpr int kBorderContrast = 14;
constexpr int kBorderRequired = 24;
constexpr std::size_t kCap = 256;

struct Component {
    int minX, minY, maxX, maxY;
    int count;
};

// A work item of the fill: a run of row `y` labelled already, to be grown sideways and looked
// past up and down; the span of the row it was found from and the direction of that row.
struct Seed {
    int left, right, y;
    int parentLeft, parentRight;
    int from;
};

struct Plane {
    const std::uint32_t* base;  // pixels as 0x??RRGGBB; only the colour bytes are read
    int stride;
    std::int32_t* labels;
    int width, height;
};

// The first pixel from `from` on that no component holds yet. Kept apart (as the fill below)
// so that each loop gets registers of its own rather than the big function's spills.
[[gnu::noinline]] int nextUnlabelled(const std::int32_t* labels, int from, int n) {
    while (from < n && labels[from] != 0) ++from;
    return from;
}

// Labels the connected set of unlabelled pixels close to the colour of `start` and returns its
// bounds and size. The set does not depend on the order of the walk, so it is filled span by
// span (the cache-friendly way). Each span seed remembers the span it came from: that part of
// the row it came from is filled already and is not scanned again.
[[gnu::noinline]] Component fillComponent(const Plane& plane, int start, std::int32_t label,
                                          std::vector<Seed>& stack) {
    const std::uint32_t* const base = plane.base;
    std::int32_t* const labels = plane.labels;
    const int bw = plane.width, bh = plane.height;
    const std::size_t stride = std::size_t(plane.stride);
    labels[start] = label;
    const std::uint32_t seed = base[std::size_t(start / bw) * stride + start % bw];
    const int sr = int((seed >> 16) & 0xff), sg = int((seed >> 8) & 0xff), sb = int(seed & 0xff);
    // Within the tolerance of the seed on every channel (unsigned wrap-around does the abs).
    auto close = [sr, sg, sb](std::uint32_t p) {
        return unsigned(int((p >> 16) & 0xff) - sr + kTolerance) <= 2u * kTolerance &&
               unsigned(int((p >> 8) & 0xff) - sg + kTolerance) <= 2u * kTolerance &&
               unsigned(int(p & 0xff) - sb + kTolerance) <= 2u * kTolerance;
    };
    int count = 1;
    stack.clear();
    stack.push_back({start % bw, start % bw, start / bw, 0, -1, 0});
    Component c{start % bw, start / bw, start % bw, start / bw, 0};
    while (!stack.empty()) {
        const Seed span = stack.back();
        stack.pop_back();
        const int y = span.y;
        std::int32_t* const rowLabels = labels + std::size_t(y) * bw;
        const std::uint32_t* line = base + std::size_t(y) * stride;
        int left = span.left, right = span.right;
        while (left > 0 && rowLabels[left - 1] == 0 && close(line[left - 1])) {
            rowLabels[--left] = label;
            ++count;
        }
        while (right + 1 < bw && rowLabels[right + 1] == 0 && close(line[right + 1])) {
            rowLabels[++right] = label;
            ++count;
        }
        c.minX = std::min(c.minX, left), c.maxX = std::max(c.maxX, right);
        c.minY = std::min(c.minY, y), c.maxY = std::max(c.maxY, y);
        for (int dir : {-1, 1}) {
            const int ny = y + dir;
            if (ny < 0 || ny >= bh) continue;
            const bool backwards = span.from != 0 && ny == y - span.from;
            std::int32_t* const neighbourLabels = labels + std::size_t(ny) * bw;
            const std::uint32_t* neighbour = base + std::size_t(ny) * stride;
            for (int x = left; x <= right; ++x) {
                if (backwards && x >= span.parentLeft && x <= span.parentRight) {
                    x = span.parentRight;
                    continue;
                }
                if (neighbourLabels[x] != 0 || !close(neighbour[x])) continue;
                // A run of that row is labelled here, once; its seed grows it past this span.
                const int runStart = x;
                neighbourLabels[x] = label;
                while (x + 1 <= right && neighbourLabels[x + 1] == 0 && close(neighbour[x + 1]))
                    neighbourLabels[++x] = label;
                count += x - runStart + 1;
                stack.push_back({runStart, x, ny, left, right, dir});
            }
        }
    }
    c.count = count;
    return c;
}

}  // namespace

std::vector<Rect> visualChildRegions(const QImage& image, Size screenSize, const Rect& window) {
    std::vector<Rect> result;
    if (image.isNull() || screenSize.width <= 0 || screenSize.height <= 0) return result;
    const QRect crop = pixelCrop(window, screenSize, image.size());
    if (crop.isEmpty()) return result;

    const double sx = screenSize.width / image.width(), sy = screenSize.height / image.height();
    const Rect covered(crop.x() * sx, screenSize.height - (crop.y() + crop.height()) * sy,
                       crop.width() * sx, crop.height() * sy);
    const double s = std::min(kLongestSide / std::max(covered.width(), covered.height()), 1.0);
    const int bw = std::max(int(std::ceil(covered.width() * s)), 1);
    const int bh = std::max(int(std::ceil(covered.height() * s)), 1);

    // The working bitmap: the crop itself where it already has at most one pixel per point
    // (read in place, no copy), else the crop reduced with a smooth filter.
    QImage bitmap;
    const std::uint32_t* base = nullptr;
    int stride = 0;
    const bool direct = crop.size() == QSize(bw, bh) && (image.format() == QImage::Format_RGB32 ||
                                                         image.format() == QImage::Format_ARGB32);
    if (direct) {
        base = reinterpret_cast<const std::uint32_t*>(image.constScanLine(crop.y())) + crop.x();
        stride = int(image.bytesPerLine() / 4);
    } else if (const int k = crop.width() / bw; k > 1 && crop.width() == bw * k &&
                                                crop.height() == bh * k &&
                                                (image.format() == QImage::Format_RGB32 ||
                                                 image.format() == QImage::Format_ARGB32)) {
        // A whole-number reduction (a 2× capture): each pixel the mean of its k × k block.
        bitmap = QImage(bw, bh, QImage::Format_RGB32);
        if (bitmap.isNull()) return result;
        const std::uint32_t n2 = std::uint32_t(k) * k;
        const std::uint8_t* sourceBits = image.constBits();
        const std::size_t sourceStride = std::size_t(image.bytesPerLine());
        auto* outBits = reinterpret_cast<std::uint32_t*>(bitmap.bits());
        const int outStride = int(bitmap.bytesPerLine() / 4);
        for (int y = 0; y < bh; ++y) {
            std::uint32_t* out = outBits + std::size_t(y) * outStride;
            const auto* first = reinterpret_cast<const std::uint32_t*>(
                                    sourceBits + (crop.y() + std::size_t(y) * k) * sourceStride) +
                                crop.x();
            if (k == 2) {
                // The common case, a 2× display: four pixels, a shift instead of a division.
                const auto* second = reinterpret_cast<const std::uint32_t*>(
                    reinterpret_cast<const std::uint8_t*>(first) + sourceStride);
                for (int x = 0; x < bw; ++x) {
                    const std::uint32_t a = first[2 * x], b = first[2 * x + 1], c = second[2 * x],
                                        d = second[2 * x + 1];
                    const std::uint32_t rb = (a & 0x00ff00ffu) + (b & 0x00ff00ffu) +
                                             (c & 0x00ff00ffu) + (d & 0x00ff00ffu) + 0x00020002u;
                    const std::uint32_t g = (a & 0x0000ff00u) + (b & 0x0000ff00u) +
                                            (c & 0x0000ff00u) + (d & 0x0000ff00u) + 0x00000200u;
                    out[x] = 0xff000000u | ((rb >> 2) & 0x00ff00ffu) | ((g >> 2) & 0x0000ff00u);
                }
                continue;
            }
            // Wider factors: one sum per channel, so a block of any size cannot carry from
            // one channel into the next (16-bit lanes overflow from 17 × 17 pixels up).
            for (int x = 0; x < bw; ++x) {
                std::uint64_t r = 0, g = 0, b = 0;
                for (int dy = 0; dy < k; ++dy) {
                    const std::uint32_t* in =
                        reinterpret_cast<const std::uint32_t*>(
                            reinterpret_cast<const std::uint8_t*>(first) + dy * sourceStride) +
                        x * k;
                    for (int dx = 0; dx < k; ++dx) {
                        r += (in[dx] >> 16) & 0xffu;
                        g += (in[dx] >> 8) & 0xffu;
                        b += in[dx] & 0xffu;
                    }
                }
                auto mean = [n2](std::uint64_t sum) { return std::uint32_t((sum + n2 / 2) / n2); };
                out[x] = 0xff000000u | (mean(r) << 16) | (mean(g) << 8) | mean(b);
            }
        }
        base = reinterpret_cast<const std::uint32_t*>(bitmap.constBits());
        stride = int(bitmap.bytesPerLine() / 4);
    } else {
        bitmap = image.copy(crop);
        if (bitmap.size() != QSize(bw, bh))
            bitmap = bitmap.scaled(bw, bh, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (bitmap.isNull() || bitmap.size() != QSize(bw, bh)) return result;
        if (bitmap.format() != QImage::Format_RGB32 && bitmap.format() != QImage::Format_ARGB32)
            bitmap = bitmap.convertToFormat(QImage::Format_RGB32);
        base = reinterpret_cast<const std::uint32_t*>(bitmap.constBits());
        stride = int(bitmap.bytesPerLine() / 4);
    }
    const int n = bw * bh;
    // Pixel (x, y) of the working bitmap as 0x??RRGGBB; only the colour bytes are ever read.
    auto pixel = [base, stride](int x, int y) { return base[std::size_t(y) * stride + x]; };
    auto at = [bw](int x, int y) { return y * bw + x; };

    auto contrast = [&](int a, int b) {
        const std::uint32_t p = pixel(a % bw, a / bw), q = pixel(b % bw, b / bw);
        int best = 0;
        for (int shift = 0; shift <= 16; shift += 8)
            best = std::max(best, std::abs(int((p >> shift) & 0xff) - int((q >> shift) & 0xff)));
        return best;
    };

    // The label plane and the queue: two flat arrays, allocated once per call. calloc hands out
    // zeroed pages without touching them first.
    std::unique_ptr<std::int32_t, decltype(&std::free)> labelPlane(
        static_cast<std::int32_t*>(std::calloc(std::size_t(n), sizeof(std::int32_t))), &std::free);
    if (!labelPlane) return result;
    std::int32_t* labels = labelPlane.get();
    std::vector<Seed> stack;
    stack.reserve(4096);
    int next = 0;
    struct Found {
        Rect rect;
        double area;
    };
    std::vector<Found> found;

    for (int start = nextUnlabelled(labels, 0, n); start < n;
         start = nextUnlabelled(labels, start + 1, n)) {
        const int label = ++next;
        const Component c = fillComponent({base, stride, labels, bw, bh}, start, label, stack);

        const int w = c.maxX - c.minX + 1, h = c.maxY - c.minY + 1;
        if (std::min(w, h) / s < kShortestSide || std::max(w, h) / s < kLongSide ||
            double(w) * h / (s * s) < kArea || double(c.count) / (double(w) * h) < kFill)
            continue;

        std::array<int, kSamples> xs{}, ys{};
        const int d = std::min({w / 8, h / 8, 3});
        for (int k = 0; k < kSamples; ++k) {
            xs[k] = c.minX + d + ((c.maxX - c.minX - 2 * d) * k) / (kSamples - 1);
            ys[k] = c.minY + d + ((c.maxY - c.minY - 2 * d) * k) / (kSamples - 1);
        }
        int inside[4] = {0, 0, 0, 0};
        for (int k = 0; k < kSamples; ++k) {
            inside[0] += labels[at(xs[k], c.minY + d)] == label;
            inside[1] += labels[at(xs[k], c.maxY - d)] == label;
            inside[2] += labels[at(c.minX + d, ys[k])] == label;
            inside[3] += labels[at(c.maxX - d, ys[k])] == label;
        }
        if (*std::min_element(inside, inside + 4) < kInteriorRequired) continue;

        // Each side: on the side line, one and two steps outward (clamped), or the bitmap's edge.
        auto side = [&](bool atEdge, auto position, auto outward1, auto outward2) {
            int counted = 0;
            for (int k = 0; k < kSamples; ++k) {
                if (atEdge) {
                    ++counted;
                    continue;
                }
                const int p = position(k);
                if (labels[p] != label) continue;
                if (std::max(contrast(p, outward1(k)), contrast(p, outward2(k))) >= kBorderContrast)
                    ++counted;
            }
            return counted;
        };
        const int top = side(
            c.minY == 0, [&](int k) { return at(xs[k], c.minY); },
            [&](int k) { return at(xs[k], c.minY - 1); },
            [&](int k) { return at(xs[k], std::max(c.minY - 2, 0)); });
        const int bottom = side(
            c.maxY == bh - 1, [&](int k) { return at(xs[k], c.maxY); },
            [&](int k) { return at(xs[k], c.maxY + 1); },
            [&](int k) { return at(xs[k], std::min(c.maxY + 2, bh - 1)); });
        const int left = side(
            c.minX == 0, [&](int k) { return at(c.minX, ys[k]); },
            [&](int k) { return at(c.minX - 1, ys[k]); },
            [&](int k) { return at(std::max(c.minX - 2, 0), ys[k]); });
        const int right = side(
            c.maxX == bw - 1, [&](int k) { return at(c.maxX, ys[k]); },
            [&](int k) { return at(c.maxX + 1, ys[k]); },
            [&](int k) { return at(std::min(c.maxX + 2, bw - 1), ys[k]); });
        if (std::min({top, bottom, left, right}) < kBorderRequired) continue;

        Rect r(covered.minX() + double(c.minX) / bw * covered.width(),
               covered.maxY() - double(c.maxY + 1) / bh * covered.height(),
               double(w) / bw * covered.width(), double(h) / bh * covered.height());
        r = r.insetBy(-1, -1).intersected(window);
        if (r.isEmpty() || r == window) continue;
        if (std::any_of(found.begin(), found.end(), [&](const Found& f) { return f.rect == r; }))
            continue;
        found.push_back({r, r.width() * r.height()});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Found& a, const Found& b) { return a.area < b.area; });
    for (std::size_t i = 0; i < found.size() && i < kCap; ++i) result.push_back(found[i].rect);
    return result;
}

}  // namespace tessal
