#pragma once

#include "platform/desktop/QtDesktop.h"

namespace tessal {

class X11Workspace final : public DesktopWorkspace {
  public:
    bool grabInput(QWindow* window) override;
    int frontmostPid() override;
    bool activate(int pid) override;
    bool postScroll(Point point, int notches, bool horizontal) override;
    std::unique_ptr<KeyTap> tapKeys(int targetPid,
                                    std::function<void(int keyCode, bool repeat)> onKey) override;
};

}  // namespace tessal
