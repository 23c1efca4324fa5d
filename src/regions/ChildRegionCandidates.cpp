#include "ChildRegionCandidates.h"

#include <algorithm>
#include <cmath>

namespace tessal {

namespace {

// The image finds a panel's edge a point outside where the accessibility tree puts it.
constexpr double kSameEdge = 2;

}  // namespace

bool sameRegion(const Rect& a, const Rect& b) {
    return std::abs(a.minX() - b.minX()) <= kSameEdge &&
           std::abs(a.minY() - b.minY()) <= kSameEdge &&
           std::abs(a.maxX() - b.maxX()) <= kSameEdge && std::abs(a.maxY() - b.maxY()) <= kSameEdge;
}

std::vector<Rect> childRegionCandidates(const std::vector<Rect>& regions, Point point,
                                        const Rect& window) {
    std::vector<Rect> kept;
    for (const Rect& region : regions) {
        const Rect r = region.intersected(window);
        if (r.isEmpty()) continue;
        const double shorter = std::min(r.width(), r.height());
        const double longer = std::max(r.width(), r.height());
        if (shorter < 60 || longer < 100 || r.width() * r.height() < 8000 || !r.contains(point))
            continue;
        if (sameRegion(r, window) ||
            std::any_of(kept.begin(), kept.end(), [&](const Rect& k) { return sameRegion(k, r); }))
            continue;
        kept.push_back(r);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const Rect& a, const Rect& b) {
        return a.width() * a.height() < b.width() * b.height();
    });
    kept.push_back(window);
    return kept;
}

}  // namespace tessal
