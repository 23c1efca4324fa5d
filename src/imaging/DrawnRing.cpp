#include "DrawnRing.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace tessal {

std::optional<QPoint> findDrawnRing(const QImage& screen, const QRect& outer, int thickness,
                                    QRgb color, int reach) {
    if (screen.isNull() || outer.width() <= 2 * thickness || outer.height() <= 2 * thickness)
        return std::nullopt;
    const QImage image = screen.convertToFormat(QImage::Format_RGB32);
    const auto matches = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return false;
        const QRgb p = reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
        return std::abs(qRed(p) - qRed(color)) <= 24 && std::abs(qGreen(p) - qGreen(color)) <= 24 &&
               std::abs(qBlue(p) - qBlue(color)) <= 24;
    };
    constexpr int kSamples = 16;
    const int last = thickness - 1;
    // Pairs of points across each side, on its outer and its inner edge (so that only the
    // exact place matches): top, bottom, left, right.
    std::vector<std::pair<QPoint, QPoint>> sides[4];
    const int right = outer.left() + outer.width() - 1, bottom = outer.top() + outer.height() - 1;
    for (int i = 0; i < kSamples; ++i) {
        const int x = outer.left() + thickness + (outer.width() - 2 * thickness) * i / kSamples;
        const int y = outer.top() + thickness + (outer.height() - 2 * thickness) * i / kSamples;
        sides[0].push_back({{x, outer.top()}, {x, outer.top() + last}});
        sides[1].push_back({{x, bottom}, {x, bottom - last}});
        sides[2].push_back({{outer.left(), y}, {outer.left() + last, y}});
        sides[3].push_back({{right, y}, {right - last, y}});
    }
    std::optional<QPoint> best;
    int bestScore = 0;
    const QPoint probe(outer.left(), outer.center().y());
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            // Either upright side will do as the first check; most places fail it at once.
            if (!matches(probe.x() + dx, probe.y() + dy) && !matches(right + dx, probe.y() + dy))
                continue;
            int score = 0, sidesSeen = 0;
            for (const auto& side : sides) {
                int seen = 0;
                for (const auto& [a, b] : side)
                    seen += matches(a.x() + dx, a.y() + dy) && matches(b.x() + dx, b.y() + dy);
                score += seen;
                sidesSeen += seen >= kSamples * 3 / 4;
            }
            const QPoint shift(dx, dy);
            if (sidesSeen < 3 || score < bestScore) continue;
            if (score > bestScore || shift.manhattanLength() < best->manhattanLength())
                best = shift, bestScore = score;
        }
    }
    return best;
}

}  // namespace tessal
