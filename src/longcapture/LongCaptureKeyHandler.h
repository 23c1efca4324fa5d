#pragma once

#include <functional>
#include <memory>

#include "platform/Workspace.h"

namespace tessal {

// Return, Space and Escape for a long capture while the source application (or Tessal) is in
// front: each press reaches `action` once, auto-repeats are swallowed.
class LongCaptureKeyHandler {
  public:
    explicit LongCaptureKeyHandler(Workspace& workspace);
    ~LongCaptureKeyHandler();

    std::function<void(int keyCode)> action;
    WindowOwner target;

    void start();
    void stop();
    bool running() const { return tap_ != nullptr; }

  private:
    Workspace& workspace_;
    std::unique_ptr<KeyTap> tap_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tessal
