#pragma once

#include <optional>

#include "annotation/ToolbarButtons.h"
#include "base/geometry.h"

namespace tessal {

// The handle that drags a long capture's region: every move reports the delta from where the
// drag began (global points, y up), not from the last event. A click alone does nothing.
class LongCaptureMoveButton final : public ToolbarIconButton {
    Q_OBJECT
  public:
    explicit LongCaptureMoveButton(QWidget* parent = nullptr);

    std::function<void()> onBegin;
    std::function<void(Point delta)> onMove;
    std::function<void()> onEnd;
    bool dragging() const { return origin_.has_value(); }
    // Ends a drag still in progress as a release would (the capture is closing).
    void endDrag();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void report(const QPointF& globalQt);
    std::optional<Point> origin_;
};

}  // namespace tessal
