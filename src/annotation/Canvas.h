#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "AnnotationTextView.h"
#include "CanvasModel.h"
#include "CanvasRenderer.h"

namespace tessal {

class AnnotationTextView;

// The annotation view over a captured image. Editing lives in CanvasModel; this view turns
// events into model calls (y flipped once), paints through CanvasRenderer and hosts the
// in-place text field.
class Canvas final : public QWidget {
    Q_OBJECT
  public:
    Canvas(std::unique_ptr<CanvasModel> model, QWidget* parent);
    ~Canvas() override;

    CanvasModel& model() { return *model_; }
    AnnotationTextView* textView() const { return textView_; }
    bool editingText() const { return textView_ != nullptr; }
    // Follows the model's size and origin after the host changed them.
    void syncGeometry(const QRect& frame);
    void refreshCursor();

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    Point modelPoint(const QPointF& q) const;
    void syncTextField();

    std::unique_ptr<CanvasModel> model_;
    QPointer<AnnotationTextView> textView_;
    CanvasRenderer::LayerCache layers_;
};

// The round cursor of the mosaic brush, for a stroke width.
QCursor brushCursor(double strokeWidth);

}  // namespace tessal
