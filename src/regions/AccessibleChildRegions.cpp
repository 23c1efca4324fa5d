#include "AccessibleChildRegions.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <set>

#include "ChildRegionCandidates.h"
#include "base/Clock.h"
#include "base/ScreenCoordinates.h"
#include "platform/AccessibilityService.h"

namespace tessal {
namespace {

constexpr double kBudget = 0.6;
constexpr int kChain = 12;
constexpr int kVisited = 96;
constexpr int kDepth = 16;
constexpr int kChildren = 96;
constexpr double kEdge = 4;

std::mutex preparationMutex;
std::set<int>& preparedPids() {
    static std::set<int> pids;
    return pids;
}

bool matchesWindow(const Rect& r, const Rect& window) {
    return std::abs(r.minX() - window.minX()) < kEdge &&
           std::abs(r.minY() - window.minY()) < kEdge &&
           std::abs(r.maxX() - window.maxX()) < kEdge && std::abs(r.maxY() - window.maxY()) < kEdge;
}

}  // namespace

void prepareAccessibility(AccessibilityService& service, int pid) {
    {
        std::lock_guard lock(preparationMutex);
        if (!preparedPids().insert(pid).second) return;
    }
    if (auto app = service.application(pid)) service.prepare(*app);
}

void resetPreparedAccessibility() {
    std::lock_guard lock(preparationMutex);
    preparedPids().clear();
}

std::vector<Rect> accessibleChildRegions(AccessibilityService& service, const Clock& clock, int pid,
                                         Point point, const Rect& screen, double primaryTop,
                                         const std::optional<Rect>& window) {
    // The budget starts before the first call and bounds every call made for this query.
    const double deadline = clock.uptime() + kBudget;
    const AccessibilityDeadline callsEnd(deadline);
    auto late = [&] { return clock.uptime() > deadline; };
    if (!service.isTrusted()) return {};
    const auto app = service.application(pid);
    if (!app || late()) return {};
    std::vector<AccessibleElement> windowElements;
    for (const AccessibleElement& w : service.windows(*app))
        if (!(w == *app)) windowElements.push_back(w);
    prepareAccessibility(service, pid);
    if (late()) return {};

    auto geometry = [&](const AccessibleElement& e) -> std::optional<Rect> {
        const auto f = service.frame(e);
        if (!f || !(f->width() > 0) || !(f->height() > 0)) return std::nullopt;
        return localWindowRect(*f, screen, primaryTop);
    };

    const Point global{screen.minX() + point.x, primaryTop - screen.minY() - point.y};
    std::optional<AccessibleElement> hit = service.elementAt(*app, global);

    std::vector<AccessibleElement> chain;
    std::vector<Rect> chainRects;
    std::optional<AccessibleElement> current = hit;
    for (int i = 0; i < kChain; ++i) {
        if (!current || late()) break;
        if (std::find(chain.begin(), chain.end(), *current) != chain.end()) break;
        chain.push_back(*current);
        if (auto r = geometry(*current)) chainRects.push_back(*r);
        current = service.parent(*current);
    }
    if (window && childRegionCandidates(chainRects, point, *window).size() >= 2) return chainRects;

    std::vector<AccessibleElement> kept;
    for (const AccessibleElement& w : windowElements) {
        const auto r = geometry(w);
        if (!r || !r->contains(point)) continue;
        if (window && !matchesWindow(*r, *window)) continue;
        kept.push_back(w);
    }
    std::vector<AccessibleElement> roots;
    if (hit) roots.push_back(*hit);
    if (kept.empty())
        roots.push_back(*app);
    else
        roots.insert(roots.end(), kept.begin(), kept.end());

    auto childrenOf = [&](const AccessibleElement& e) {
        std::vector<AccessibleElement> gathered;
        if (late()) return gathered;
        for (const AccessibleElement& child : service.children(e, kChildren)) {
            if (window && e == *app) {
                const auto r = geometry(child);
                if (!r || !matchesWindow(*r, *window)) continue;
            }
            gathered.push_back(child);
            if (int(gathered.size()) >= kChildren) break;
        }
        return gathered;
    };

    std::vector<std::pair<AccessibleElement, int>> stack;
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) stack.push_back({*it, 0});
    std::vector<AccessibleElement> visited;
    std::vector<Rect> found;
    while (!stack.empty()) {
        const auto [element, depth] = stack.back();
        stack.pop_back();
        if (int(visited.size()) >= kVisited || late()) break;
        if (std::find(visited.begin(), visited.end(), element) != visited.end()) continue;
        visited.push_back(element);
        const auto r = geometry(element);
        if (r && !r->contains(point)) continue;
        if (r && std::find(found.begin(), found.end(), *r) == found.end()) found.push_back(*r);
        if (depth >= kDepth) continue;
        std::vector<AccessibleElement> children = childrenOf(element);
        const int room = kVisited - int(visited.size());
        if (room <= 0) continue;
        if (int(children.size()) > room) children.resize(room);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back({*it, depth + 1});
    }
    chainRects.insert(chainRects.end(), found.begin(), found.end());
    return chainRects;
}

}  // namespace tessal
