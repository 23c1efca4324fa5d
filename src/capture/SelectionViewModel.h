#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/ScreenSnapshot.h"
#include "base/geometry.h"

namespace tessal {

class Clock;
class MainQueue;
class WorkItem;

// What a SelectionView does, without the widget: hover highlighting of windows and of the
// regions inside them (queried off the main thread, cached, committed with hysteresis), the
// press/drag/release that chooses a rectangle, the scroll wheel over candidates and the
// whole-window mode. Points are the display's screen-local coordinates (y up); a pointer's point
// is the top-left corner of the pixel it covers.
class SelectionViewModel {
  public:
    struct Timing {
        static constexpr double dragThreshold = 3;
        static constexpr double minimumSelection = 3;
        static constexpr double candidateCommitDelay = 0.045;
        static constexpr double edgeBand = 3;
        static constexpr double querySpacing = 0.06;
        static constexpr double resultTolerance = 8;
        static constexpr int maximumRetries = 3;
        static constexpr double retryStep = 0.5;
        static constexpr double cacheLifetime = 1.0;
        static constexpr double cacheReach = 12;
        static constexpr std::size_t cacheSize = 48;
    };

    // Runs a region query off the main thread (the serial queue "local.ostrel.child-regions").
    using RegionQueue = std::function<void(std::function<void()>)>;

    SelectionViewModel(ScreenSnapshot snapshot, MainQueue& mainQueue, const Clock& clock,
                       RegionQueue regionQueue);
    ~SelectionViewModel();
    SelectionViewModel(const SelectionViewModel&) = delete;
    SelectionViewModel& operator=(const SelectionViewModel&) = delete;

    const ScreenSnapshot& snapshot() const { return snapshot_; }
    Rect bounds() const { return {0, 0, snapshot_.frame.width(), snapshot_.frame.height()}; }

    // The rectangle shown undimmed: the selection, else (before choosing) the hovered one.
    std::optional<Rect> displayedRect() const;

    void updateHover(Point p);
    // Highlights windows[index] while the pointer's place is not known yet (it has not entered
    // the overlay): no magnifier, no regions inside until it moves.
    void suggestWindow(std::size_t index);
    void mouseExited();
    void mouseDown(Point p);
    void mouseDragged(Point p);
    void mouseUp(Point p);
    // One step per event towards larger (positive) or smaller regions; zero and NaN do nothing.
    void scrollWheel(double deltaY);
    void toggleWindowSelection();
    void resetSelection();
    void cancelAutomaticSelection();
    // Makes the view passive without choosing (another display was chosen).
    void setSelected(bool selected);
    void setSelection(std::optional<Rect> selection);

    const std::optional<Rect>& selection() const { return selection_; }
    bool selected() const { return selected_; }
    bool pressing() const { return anchor_.has_value(); }
    const std::optional<Rect>& hoveredWindow() const { return hoveredWindow_; }
    const std::vector<Rect>& candidates() const { return candidates_; }
    int candidateIndex() const { return candidateIndex_; }
    bool windowSelectionOnly() const { return windowSelectionOnly_; }
    const std::optional<Point>& hoverPoint() const { return hoverPoint_; }
    std::size_t cacheCount() const { return regionCache_.size(); }

    // The displayed rectangle changed: repaint old and new.
    std::function<void()> onRepaint;
    std::function<void(const Rect&)> onSelect;
    // Follow the pointer with the magnifier, or hide it (nullopt).
    std::function<void(std::optional<Point>)> onMagnifier;

  private:
    struct CacheEntry {
        int index;
        Point point;
        std::vector<Rect> regions;
        double time;
    };

    void setHoveredWindow(std::optional<Rect> rect);
    void repaint();
    std::optional<int> windowIndexAt(Point p) const;
    // What the pointer at p is over (see pointedPixelCentre); p itself stays the edge a drag
    // draws from.
    Point pointed(Point p) const;
    Point clamped(Point p) const;
    void queryChildRegions();
    void applyQueryResult(int index, Point queryPoint, std::vector<Rect> regions,
                          unsigned long generation, Rect window);
    void proposeCandidate(const Rect& candidate, Point p);
    void dragTo(Point p);
    void cancel(std::shared_ptr<WorkItem>& work);

    ScreenSnapshot snapshot_;
    MainQueue& mainQueue_;
    const Clock& clock_;
    RegionQueue regionQueue_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    std::optional<Rect> selection_;
    std::optional<Point> anchor_;
    bool selected_ = false;
    std::optional<Rect> hoveredWindow_;
    bool selectionDragged_ = false;
    std::optional<Point> hoverPoint_;
    unsigned long hoverGeneration_ = 0;
    std::shared_ptr<WorkItem> hoverWork_;
    std::vector<Rect> candidates_;
    int candidateIndex_ = 0;
    bool manuallySelectedCandidate_ = false;
    bool queryInFlight_ = false;
    bool windowSelectionOnly_ = false;
    std::optional<int> hoverWindowIndex_;
    int queryRetries_ = 0;
    std::optional<Rect> pendingCandidate_;
    std::shared_ptr<WorkItem> candidateWork_;
    std::shared_ptr<WorkItem> queryDelayWork_;
    double lastQueryTime_ = -1e9;
    std::vector<CacheEntry> regionCache_;
};

}  // namespace tessal
