#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <functional>
#include <map>
#include <set>

#include "platform/Workspace.h"

namespace tessal {

// Return, Space and Escape grabbed on the root window while the active window belongs to the
// target (its process, or its window when the process is unknown) or to us, released as soon as
// another application comes to the front (the root's _NET_ACTIVE_WINDOW is followed), so that
// application gets its keys unchanged.
class X11KeyTap final : public KeyTap, public QAbstractNativeEventFilter {
  public:
    X11KeyTap(const WindowOwner& target, std::function<void(int keyCode, bool repeat)> onKey);
    ~X11KeyTap() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    void follow();
    void setGrabbed(bool grabbed);

    WindowOwner target_;
    int ownPid_;
    std::function<void(int, bool)> onKey_;
    std::map<std::uint8_t, int> keys_;  // X keycode → our key code
    std::set<std::uint8_t> down_;
    std::map<std::uint8_t, std::uint32_t> released_;  // keycode → time of its last release
    std::uint32_t activeAtom_ = 0;
    bool grabbed_ = false;
};

}  // namespace tessal
