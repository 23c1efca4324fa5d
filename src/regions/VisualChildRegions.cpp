#include "VisualChildRegions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "capture/ScreenGeometry.h"

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

    QImage bitmap = image.copy(crop).convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    if (bitmap.size() != QSize(bw, bh))
        bitmap = bitmap.scaled(bw, bh, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (bitmap.isNull() || bitmap.size() != QSize(bw, bh)) return result;
    bitmap = bitmap.convertToFormat(QImage::Format_RGBA8888_Premultiplied);

    // Flat red, green, blue planes of the bitmap, row length exactly the width.
    const int n = bw * bh;
    std::vector<std::uint8_t> rgb(std::size_t(n) * 3);
    for (int y = 0; y < bh; ++y) {
        const std::uint8_t* row = bitmap.constScanLine(y);
        for (int x = 0; x < bw; ++x)
            for (int c = 0; c < 3; ++c) rgb[(std::size_t(y) * bw + x) * 3 + c] = row[x * 4 + c];
    }
    auto contrast = [&rgb](int a, int b) {
        int best = 0;
        for (int c = 0; c < 3; ++c)
            best = std::max(best, std::abs(int(rgb[a * 3 + c]) - int(rgb[b * 3 + c])));
        return best;
    };

    std::vector<std::int32_t> labels(n, 0);
    std::vector<std::int32_t> queue(n);
    int next = 0;
    struct Found {
        Rect rect;
        double area;
    };
    std::vector<Found> found;

    for (int start = 0; start < n; ++start) {
        if (labels[start] != 0) continue;
        const int label = ++next;
        labels[start] = label;
        const std::uint8_t seed[3] = {rgb[start * 3], rgb[start * 3 + 1], rgb[start * 3 + 2]};
        auto close = [&](int i) {
            return std::abs(int(rgb[i * 3]) - seed[0]) <= kTolerance &&
                   std::abs(int(rgb[i * 3 + 1]) - seed[1]) <= kTolerance &&
                   std::abs(int(rgb[i * 3 + 2]) - seed[2]) <= kTolerance;
        };
        int head = 0, tail = 0;
        queue[tail++] = start;
        Component c{start % bw, start / bw, start % bw, start / bw, 0};
        while (head < tail) {
            const int i = queue[head++];
            const int x = i % bw, y = i / bw;
            c.minX = std::min(c.minX, x), c.maxX = std::max(c.maxX, x);
            c.minY = std::min(c.minY, y), c.maxY = std::max(c.maxY, y);
            const int neighbours[4] = {x > 0 ? i - 1 : -1, x + 1 < bw ? i + 1 : -1,
                                       y > 0 ? i - bw : -1, y + 1 < bh ? i + bw : -1};
            for (int j : neighbours) {
                if (j < 0 || labels[j] != 0 || !close(j)) continue;
                labels[j] = label;
                queue[tail++] = j;
            }
        }
        c.count = tail;

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
        auto at = [bw](int x, int y) { return y * bw + x; };
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
