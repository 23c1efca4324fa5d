#pragma once

#include "platform/WindowStreamService.h"

namespace tessal {

// A window's own content through Composite (the window redirected off-screen automatically, so
// covering windows do not matter), grabbed after Damage reports a change, at most 60 times a
// second and while fewer than three pictures wait on the queue, on a connection and thread of
// its own.
class X11WindowStreamService final : public WindowStreamService {
  public:
    Result<std::unique_ptr<WindowStream>> start(
        unsigned window, SerialQueue& queue, std::function<void(const QImage& frame)> onFrame,
        std::function<void(const UserError& error)> onStop) override;
};

}  // namespace tessal
