#pragma once

#include <QFont>
#include <QWidget>
#include <functional>
#include <optional>

#include "base/geometry.h"

namespace tessal {

// "W × H px" of the pixels the displayed rectangle covers, next to it. Clickable (to type an
// exact size) only while onEdit is set; otherwise clicks pass through.
class SelectionSizeBadge final : public QWidget {
    Q_OBJECT
  public:
    explicit SelectionSizeBadge(QWidget* parent);

    // selection and within in the parent's y-up points.
    void update(const std::optional<Rect>& selection, Size screenSize, QSize imageSize,
                const Rect& within);
    void setOnEdit(std::function<void()> onEdit);
    const QString& text() const { return text_; }

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QString text_;
    QFont font_;
    std::function<void()> onEdit_;
};

}  // namespace tessal
