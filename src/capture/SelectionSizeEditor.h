#pragma once

#include <QSize>
#include <QWidget>
#include <functional>
#include <optional>

#include "base/geometry.h"

class QLineEdit;

namespace tessal {

// The size badge turned into two fields ("宽", "高", in image pixels) where it stands, so the
// selection stays in view while a size is typed. Return applies a size of at least 1 × 1,
// Escape cancels; both close the fields and leave the capture as it was otherwise.
class SelectionSizeEditor final : public QWidget {
    Q_OBJECT
  public:
    explicit SelectionSizeEditor(QWidget* parent);
    ~SelectionSizeEditor() override;

    // Opens with the current pixel size, placed like the badge for `selection` within `within`
    // (the parent's y-up points), the width field focused and selected.
    void open(QSize current, const Rect& selection, const Rect& within);
    // Closes without applying (the selection changed under it, the session goes away).
    void cancel();
    bool editing() const { return isVisible(); }

    QLineEdit* widthField() const { return width_; }
    QLineEdit* heightField() const { return height_; }

    std::function<void(QSize)> onApply;
    std::function<void()> onClose;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent*) override;

  private:
    void apply();
    void finish();

    QLineEdit* width_;
    QLineEdit* height_;
    QMetaObject::Connection focusWatch_;
};

}  // namespace tessal
