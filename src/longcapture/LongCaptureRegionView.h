#pragma once

#include <QRgb>
#include <QWidget>
#include <functional>
#include <optional>

#include "base/SelectionHandle.h"
#include "base/geometry.h"

namespace tessal {

// The frame that marks a long capture's region over the source window: a window 5 points
// larger than the region on every side, shaped to the border (and the handles while they show)
// so the source stays visible through it without a compositor. Mouse events pass through it
// unless the handles show.
class LongCaptureRegionView final : public QWidget {
  public:
    LongCaptureRegionView();

    Rect globalRect() const { return globalRect_; }
    // The window's own rectangle (global): the region with the ring's margin around it.
    Rect globalFrame() const;
    void setGlobalRect(const Rect& rect);
    // Where the window belongs (Qt global), which a Wayland compositor may not have made so.
    QRect placedGeometry() const;
    // The rectangle the region must stay inside (global); empty until the source is known.
    Rect constraint;
    bool showsHandles() const { return showsHandles_; }
    void setShowsHandles(bool shows);
    // Keeps the ring wholly outside the region, for frames read from the screen as shown.
    void setRingOutside(bool outside);
    // The ring as drawn: its outer edge (global), its width (points) and colour.
    Rect ringOuter() const;
    static constexpr double ringWidth = 4;
    static QRgb ringColor();
    std::function<void(const Rect&)> onAdjust;

    // The drag a press at `global` starts: the nearest handle within 8 points, else a move.
    SelectionHandle handleAt(Point global) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    struct Drag {
        SelectionHandle handle;
        Point start;
        Rect rect;
    };
    void reshape();
    void dragTo(Point global);
    Rect localRegion() const;

    Rect globalRect_;
    bool ringOutside_ = false;
    bool showsHandles_ = false;
    std::optional<Drag> drag_;
};

// Global points (y up) of a pointer position in Qt's global coordinates.
Point globalPointFromQt(const QPointF& qt);
// A window-list point (primary's top-left, y down) in Qt's global coordinates.
QPointF qtPointFromWindowList(Point p);
// A global rectangle as a Qt global rectangle, through the primary screen.
QRect qtRectFromGlobal(const Rect& rect);
// A Qt global rectangle as a global one.
Rect globalRectFromQt(const QRect& rect);

}  // namespace tessal
