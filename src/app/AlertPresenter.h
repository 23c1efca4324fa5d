#pragma once

#include <QList>
#include <QRect>
#include <memory>

#include "base/AlertSpec.h"

class QAbstractButton;
class QMessageBox;

namespace tessal {

// Runs modal alerts; returns the index of the chosen button (the first is the default).
class AlertPresenter {
  public:
    virtual ~AlertPresenter() = default;
    virtual int run(const AlertSpec& alert) = 0;
    // Where the last alert stood on screen, frame included (Qt's global coordinates); empty
    // when unknown.
    virtual QRect lastFrame() const { return {}; }
};

class MessageBoxPresenter final : public AlertPresenter {
  public:
    // Wide enough for a folder path on one or two lines.
    static constexpr int minimumWidth = 420;

    int run(const AlertSpec& alert) override;
    QRect lastFrame() const override { return lastFrame_; }
    // The box `run` shows, before it is shown; its buttons in the alert's order.
    static std::unique_ptr<QMessageBox> build(const AlertSpec& alert,
                                              QList<QAbstractButton*>* buttons = nullptr);

  private:
    QRect lastFrame_;
};

}  // namespace tessal
