#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "base/SelectionHandle.h"

namespace tessal {

// The transparent layer over a chosen selection: border, handles, resizing by handles and
// edges, moving from the inside while the move tool is on or Space is held, double click to
// copy. It takes the mouse only where a handle is; elsewhere clicks reach what lies beneath.
class SelectionChrome final : public QWidget {
    Q_OBJECT
  public:
    SelectionChrome(QWidget* parent, const Rect& selection);

    const Rect& selection() const { return selection_; }
    void setSelection(const Rect& selection);
    bool moving() const { return moving_; }
    void setMoving(bool moving);
    bool temporaryMoving() const { return temporaryMoving_; }
    void setTemporaryMoving(bool moving);
    bool dragging() const { return drag_.has_value(); }

    std::optional<SelectionHandle> handle(Point p) const;

    std::function<void(const Rect&)> onChange;
    std::function<void(bool)> onAdjustingChanged;
    std::function<void()> onCopy;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct Drag {
        SelectionHandle handle;
        Point point;
        Rect rect;
    };
    Point modelPoint(const QPointF& q) const;
    Rect bounds() const { return {0, 0, double(width()), double(height())}; }
    void dragTo(const QMouseEvent& event);
    void refreshMask();
    void refreshCursor(std::optional<SelectionHandle> handle);

    Rect selection_;
    bool moving_ = true;
    bool temporaryMoving_ = false;
    std::optional<Drag> drag_;
};

// The cursor shown over a handle.
Qt::CursorShape cursorShape(SelectionHandle handle, bool dragging);

}  // namespace tessal
