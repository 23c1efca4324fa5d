#pragma once

#include "platform/desktop/QtDesktop.h"

namespace tessal {

class X11Workspace final : public DesktopWorkspace {
  public:
    bool grabInput(QWindow* window) override;
    void sendWindowChanges() override;
    WindowOwner frontmost() override;
    bool activate(const WindowOwner& owner) override;
    // The pointer returns to where it was: X11 pictures never show it.
    bool postScroll(const ScrollRequest& request) override;
    std::unique_ptr<KeyTap> tapKeys(const WindowOwner& target,
                                    std::function<void(int keyCode, bool repeat)> onKey) override;
};

}  // namespace tessal
