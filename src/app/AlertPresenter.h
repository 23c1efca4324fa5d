#pragma once

#include "base/AlertSpec.h"

namespace tessal {

// Runs modal alerts; returns the index of the chosen button (the first is the default).
class AlertPresenter {
  public:
    virtual ~AlertPresenter() = default;
    virtual int run(const AlertSpec& alert) = 0;
};

class MessageBoxPresenter final : public AlertPresenter {
  public:
    int run(const AlertSpec& alert) override;
};

}  // namespace tessal
