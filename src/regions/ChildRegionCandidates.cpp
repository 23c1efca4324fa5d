#include "ChildRegionCandidates.h"

#include <algorithm>

namespace tessal {

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
        if (r == window || std::find(kept.begin(), kept.end(), r) != kept.end()) continue;
        kept.push_back(r);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const Rect& a, const Rect& b) {
        return a.width() * a.height() < b.width() * b.height();
    });
    kept.push_back(window);
    return kept;
}

}  // namespace tessal
