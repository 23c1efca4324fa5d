#include "SelectionViewModel.h"

#include <algorithm>
#include <cmath>

#include "base/Clock.h"
#include "base/MainQueue.h"
#include "base/ScreenCoordinates.h"
#include "regions/ChildRegionCandidates.h"

namespace tessal {
namespace {

double distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

}  // namespace

SelectionViewModel::SelectionViewModel(ScreenSnapshot snapshot, MainQueue& mainQueue,
                                       const Clock& clock, RegionQueue regionQueue)
    : snapshot_(std::move(snapshot)),
      mainQueue_(mainQueue),
      clock_(clock),
      regionQueue_(std::move(regionQueue)) {}

SelectionViewModel::~SelectionViewModel() {
    *alive_ = false;
    cancelAutomaticSelection();
}

std::optional<Rect> SelectionViewModel::displayedRect() const {
    if (selection_) return selection_;
    if (selected_) return std::nullopt;
    return hoveredWindow_;
}

void SelectionViewModel::repaint() {
    if (onRepaint) onRepaint();
}

void SelectionViewModel::setHoveredWindow(std::optional<Rect> rect) {
    if (hoveredWindow_ == rect) return;
    hoveredWindow_ = rect;
    repaint();
}

void SelectionViewModel::cancel(std::shared_ptr<WorkItem>& work) {
    if (work) work->cancel();
    work.reset();
}

std::optional<int> SelectionViewModel::windowIndexAt(Point p) const {
    if (!bounds().contains(p)) return std::nullopt;
    for (std::size_t i = 0; i < snapshot_.windows.size(); ++i)
        if (snapshot_.windows[i].contains(p)) return static_cast<int>(i);
    return std::nullopt;
}

Point SelectionViewModel::pointed(Point p) const {
    return pointedPixelCentre(p, bounds().size, snapshot_.image.size());
}

Point SelectionViewModel::clamped(Point p) const {
    const Rect b = bounds();
    auto clamp = [](double v, double hi) {
        return std::isfinite(v) ? std::clamp(v, 0.0, hi) : 0.0;
    };
    return {clamp(p.x, b.width()), clamp(p.y, b.height())};
}

void SelectionViewModel::suggestWindow(std::size_t index) {
    if (selected_ || anchor_ || hoverPoint_ || index >= snapshot_.windows.size()) return;
    hoverWindowIndex_ = int(index);
    setHoveredWindow(snapshot_.windows[index]);
}

void SelectionViewModel::updateHover(Point p) {
    if (selected_ || anchor_) return;
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    hoverPoint_ = p;
    const Point under = pointed(p);
    // The pointer's pixel lies on the display: its corner is in the bounds' y-down half-open box.
    const Rect b = bounds();
    const bool inside = p.x >= b.minX() && p.x < b.maxX() && p.y > b.minY() && p.y <= b.maxY();
    if (onMagnifier) onMagnifier(inside ? std::optional<Point>(under) : std::nullopt);

    const std::optional<int> index = inside ? windowIndexAt(under) : std::nullopt;
    if (index != hoverWindowIndex_ || !hoveredWindow_) {
        ++hoverGeneration_;
        cancel(hoverWork_);
        cancel(candidateWork_);
        pendingCandidate_.reset();
        candidates_.clear();
        manuallySelectedCandidate_ = false;
        candidateIndex_ = 0;
        queryRetries_ = 0;
        hoverWindowIndex_ = index;
        std::optional<Rect> highlight;
        if (inside) highlight = index ? snapshot_.windows[*index] : bounds();
        setHoveredWindow(highlight);
    }

    if (windowSelectionOnly_) {
        setHoveredWindow(index ? snapshot_.windows[*index] : bounds());
        return;
    }
    if (!index) {
        queryChildRegions();
        return;
    }
    const Rect window = snapshot_.windows[*index];
    const double now = clock_.uptime();
    for (auto it = regionCache_.rbegin(); it != regionCache_.rend(); ++it) {
        if (it->index != *index || now - it->time >= Timing::cacheLifetime ||
            distance(it->point, p) >= Timing::cacheReach)
            continue;
        std::vector<Rect> list = childRegionCandidates(it->regions, under, window);
        if (list.size() >= 2) {
            candidates_ = std::move(list);
            if (!manuallySelectedCandidate_) proposeCandidate(candidates_.front(), under);
            return;
        }
        break;
    }
    queryChildRegions();
}

void SelectionViewModel::queryChildRegions() {
    if (queryInFlight_ || windowSelectionOnly_ || selected_ || anchor_ || !hoverPoint_ ||
        !hoverWindowIndex_ || !snapshot_.childRegions)
        return;
    const double now = clock_.uptime();
    const double wait = lastQueryTime_ + Timing::querySpacing - now;
    if (wait > 0) {
        if (queryDelayWork_ && !queryDelayWork_->isCancelled()) return;
        std::weak_ptr<bool> alive = alive_;
        queryDelayWork_ = mainQueue_.after(wait, [this, alive] {
            if (alive.expired()) return;
            queryDelayWork_.reset();
            queryChildRegions();
        });
        return;
    }
    lastQueryTime_ = now;
    queryInFlight_ = true;
    const int index = *hoverWindowIndex_;
    const Point point = *hoverPoint_;
    const unsigned long generation = hoverGeneration_;
    const Rect window = snapshot_.windows[index];
    // The worker gets copies only: the lookup, the index and the point.
    std::weak_ptr<bool> alive = alive_;
    MainQueue* mainQueue = &mainQueue_;
    regionQueue_([lookup = snapshot_.childRegions, index, point, generation, window, alive,
                  mainQueue, this] {
        std::vector<Rect> regions = lookup(index, point);
        mainQueue->async([=, this, regions = std::move(regions)]() mutable {
            if (alive.expired()) return;
            applyQueryResult(index, point, std::move(regions), generation, window);
        });
    });
}

void SelectionViewModel::applyQueryResult(int index, Point queryPoint, std::vector<Rect> regions,
                                          unsigned long generation, Rect window) {
    queryInFlight_ = false;
    if (selected_ || anchor_ || !hoverPoint_) return;
    if (generation != hoverGeneration_) {
        queryChildRegions();
        return;
    }
    const double now = clock_.uptime();
    regionCache_.push_back({index, queryPoint, regions, now});
    if (regionCache_.size() > Timing::cacheSize) regionCache_.erase(regionCache_.begin());

    const Point p = *hoverPoint_;
    const Point under = pointed(p);
    std::vector<Rect> list = childRegionCandidates(regions, under, window);
    if (distance(p, queryPoint) <= Timing::resultTolerance) {
        const bool keep = list.size() < 2 && !candidates_.empty() && hoveredWindow_ &&
                          hoveredWindow_->contains(under);
        if (!keep) {
            candidates_ = std::move(list);
            int chosen = 0;
            if (manuallySelectedCandidate_ && hoveredWindow_) {
                // The region the wheel chose stays chosen, as it is, even when this answer
                // found it a point or two off.
                auto it = std::find_if(candidates_.begin(), candidates_.end(), [&](const Rect& c) {
                    return sameRegion(c, *hoveredWindow_);
                });
                if (it != candidates_.end()) {
                    *it = *hoveredWindow_;
                    chosen = static_cast<int>(it - candidates_.begin());
                }
            }
            candidateIndex_ = chosen;
            proposeCandidate(candidates_[chosen], under);
        }
    }

    if (p == queryPoint) {
        if (queryRetries_ < Timing::maximumRetries) {
            ++queryRetries_;
            std::weak_ptr<bool> alive = alive_;
            const unsigned long current = hoverGeneration_;
            cancel(hoverWork_);
            hoverWork_ =
                mainQueue_.after(queryRetries_ * Timing::retryStep, [this, alive, current] {
                    if (alive.expired() || current != hoverGeneration_) return;
                    queryChildRegions();
                });
        }
    } else {
        queryRetries_ = 0;
        queryChildRegions();
    }
}

void SelectionViewModel::proposeCandidate(const Rect& candidate, Point p) {
    const Rect window = hoverWindowIndex_ ? snapshot_.windows[*hoverWindowIndex_] : Rect();
    if (hoveredWindow_) {
        bool inBand = false;
        if (!(*hoveredWindow_ == window)) {
            const Rect band = hoveredWindow_->insetBy(-Timing::edgeBand, -Timing::edgeBand);
            inBand = !hoveredWindow_->contains(p) && band.contains(p);
        }
        if (candidate == *hoveredWindow_ || inBand) {
            cancel(candidateWork_);
            pendingCandidate_.reset();
            return;
        }
    }
    if (pendingCandidate_ == candidate) return;
    cancel(candidateWork_);
    pendingCandidate_ = candidate;
    std::weak_ptr<bool> alive = alive_;
    const unsigned long generation = hoverGeneration_;
    candidateWork_ = mainQueue_.after(Timing::candidateCommitDelay, [this, alive, generation,
                                                                     candidate] {
        if (alive.expired()) return;
        if (generation != hoverGeneration_ || selected_ || anchor_ ||
            pendingCandidate_ != candidate)
            return;
        pendingCandidate_.reset();
        if (hoverPoint_ && candidate.contains(pointed(*hoverPoint_)) && hoveredWindow_ != candidate)
            setHoveredWindow(candidate);
    });
}

void SelectionViewModel::scrollWheel(double deltaY) {
    if (selected_ || windowSelectionOnly_ || anchor_ || candidates_.size() < 2) return;
    if (!std::isfinite(deltaY) || deltaY == 0) return;
    cancel(candidateWork_);
    pendingCandidate_.reset();
    manuallySelectedCandidate_ = true;
    const int last = static_cast<int>(candidates_.size()) - 1;
    candidateIndex_ = std::clamp(candidateIndex_ + (deltaY > 0 ? 1 : -1), 0, last);
    setHoveredWindow(candidates_[candidateIndex_]);
}

void SelectionViewModel::toggleWindowSelection() {
    if (selected_ || anchor_) return;
    windowSelectionOnly_ = !windowSelectionOnly_;
    cancelAutomaticSelection();
    candidates_.clear();
    manuallySelectedCandidate_ = false;
    setHoveredWindow(std::nullopt);
    if (hoverPoint_) updateHover(*hoverPoint_);
}

void SelectionViewModel::cancelAutomaticSelection() {
    ++hoverGeneration_;
    cancel(hoverWork_);
    cancel(candidateWork_);
    cancel(queryDelayWork_);
    pendingCandidate_.reset();
}

void SelectionViewModel::mouseDown(Point raw) {
    if (selected_) return;
    const Point p = clamped(raw);
    cancelAutomaticSelection();
    anchor_ = p;
    const Point under = pointed(p);
    const std::optional<int> index = windowIndexAt(under);
    const bool hoveredHolds = hoveredWindow_ && hoveredWindow_->contains(under);
    Rect take;
    if (index) {
        take = (index == hoverWindowIndex_ && hoveredHolds) ? *hoveredWindow_
                                                            : snapshot_.windows[*index];
    } else {
        take = (!hoverWindowIndex_ && hoveredHolds) ? *hoveredWindow_ : bounds();
    }
    setHoveredWindow(take);
    selectionDragged_ = false;
    selection_ = hoveredWindow_;
    repaint();
}

void SelectionViewModel::dragTo(Point raw) {
    const Point p = clamped(raw);
    if (onMagnifier) onMagnifier(pointed(p));
    if (!selectionDragged_ && distance(p, *anchor_) < Timing::dragThreshold) return;
    selectionDragged_ = true;
    setHoveredWindow(std::nullopt);
    selection_ = Rect(std::min(anchor_->x, p.x), std::min(anchor_->y, p.y),
                      std::abs(p.x - anchor_->x), std::abs(p.y - anchor_->y));
    repaint();
}

void SelectionViewModel::mouseDragged(Point p) {
    if (selected_ || !anchor_) return;
    dragTo(p);
}

void SelectionViewModel::mouseUp(Point raw) {
    if (selected_ || !anchor_) return;
    dragTo(raw);
    if (!selectionDragged_) {
        selection_ = hoveredWindow_;
        repaint();
    }
    anchor_.reset();
    if (selection_ && selection_->width() >= Timing::minimumSelection &&
        selection_->height() >= Timing::minimumSelection) {
        selected_ = true;
        cancelAutomaticSelection();
        if (onMagnifier) onMagnifier(std::nullopt);
        repaint();
        if (onSelect) onSelect(*selection_);
        return;
    }
    selection_.reset();
    repaint();
    updateHover(clamped(raw));
}

void SelectionViewModel::mouseExited() {
    if (selected_ || anchor_) return;
    ++hoverGeneration_;
    cancel(hoverWork_);
    cancel(candidateWork_);
    hoverPoint_.reset();
    hoverWindowIndex_.reset();
    pendingCandidate_.reset();
    setHoveredWindow(std::nullopt);
    candidates_.clear();
    if (onMagnifier) onMagnifier(std::nullopt);
}

void SelectionViewModel::resetSelection() {
    cancelAutomaticSelection();
    anchor_.reset();
    selectionDragged_ = false;
    hoverPoint_.reset();
    hoverWindowIndex_.reset();
    setHoveredWindow(std::nullopt);
    candidates_.clear();
    candidateIndex_ = 0;
    manuallySelectedCandidate_ = false;
    queryRetries_ = 0;
    selection_.reset();
    selected_ = false;
    repaint();
    if (onMagnifier) onMagnifier(std::nullopt);
}

void SelectionViewModel::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    if (selected) {
        cancelAutomaticSelection();
        if (onMagnifier) onMagnifier(std::nullopt);
    }
    repaint();
}

void SelectionViewModel::setSelection(std::optional<Rect> selection) {
    selection_ = selection;
    repaint();
}

}  // namespace tessal
