#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "SelectionViewModel.h"

namespace tessal {

class KeySheet;
class PixelMagnifier;
class SelectionSizeBadge;
class SelectionSizeEditor;

// The content of one display's overlay: the frozen image, dimmed outside the highlighted or
// chosen rectangle, with the highlight border, the size badge (or the fields that edit the size
// in its place), the magnifier and the key sheet. Behaviour
// lives in SelectionViewModel; this class converts events and paints.
class SelectionView final : public QWidget {
    Q_OBJECT
  public:
    SelectionView(SelectionViewModel& model, QWidget* parent);
    ~SelectionView() override;

    SelectionViewModel& model() { return model_; }
    PixelMagnifier& magnifier() { return *magnifier_; }
    KeySheet& keySheet() { return *keySheet_; }
    SelectionSizeBadge& sizeBadge() { return *sizeBadge_; }
    SelectionSizeEditor& sizeEditor() { return *sizeEditor_; }
    double viewHeight() const { return model_.bounds().height(); }

    // Repaints shade, border and badge for the current state.
    void updateSelectionLayers();
    // Areas where the subviews set their own cursors once a selection is chosen.
    std::function<std::vector<Rect>()> excludedCursorAreas;
    // Right clicks and keys go to the session.
    std::function<bool(QKeyEvent*)> onKey;
    std::function<void(QMouseEvent*)> onRightClick;
    // Once, after the first paint (the frame itself reaches the screen right after).
    std::function<void()> onFirstPaint;

    // The part of the view the displayed rectangle and its border cover, painted as the view
    // paints it, in device pixels; none while nothing is displayed.
    struct LitArea {
        QRect area;  // view coordinates
        QImage pixels;
    };
    std::optional<LitArea> litArea() const;

    // Builds and paints a small view once, off screen, so that what the first one loads (the
    // interface font and its CJK fallback, the style of the size fields, the painter's paths)
    // is loaded while the program is idle rather than while the first capture waits for it.
    static void warmUp(MainQueue& mainQueue, const Clock& clock);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    Point modelPoint(const QPointF& q) const;
    void paintContent(QPainter& painter, const QRect& exposed, double scale) const;
    void refreshCursor(Point p);

    SelectionViewModel& model_;
    QImage image_;
    PixelMagnifier* magnifier_;
    KeySheet* keySheet_;
    SelectionSizeBadge* sizeBadge_;
    SelectionSizeEditor* sizeEditor_;
    std::optional<Rect> painted_;  // the displayed rectangle of the last repaint
    bool paintedSelected_ = false;
};

}  // namespace tessal
