#pragma once

#include <QFont>
#include <QWidget>

#include "KeySheetModel.h"

namespace tessal {

// The overlay's list of keys, drawn over the frozen image like the size badge: part of the
// overlay's chrome, never of the captured pixels, and transparent to the mouse so it never
// stands in the way of a click.
class KeySheet final : public QWidget {
    Q_OBJECT
  public:
    explicit KeySheet(QWidget* parent);

    // Places it within the parent's bounds (y-up points), clear of `avoid` where it can be.
    void place(const std::vector<Rect>& avoid);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    std::vector<KeySheetModel::Column> columns_;
    QFont font_;
    QFont titleFont_;
    std::vector<double> keyWidths_;
    std::vector<double> columnWidths_;
    double rowHeight_ = 0;
};

}  // namespace tessal
