#pragma once

#include "platform/AccessibilityService.h"
#include "platform/desktop/QtDesktop.h"

namespace tessal {

// Wayland gives a client no other client's windows: no frontmost process, no activation of
// another program, no synthetic input, no key tap. Our own windows take the keyboard by being
// activated, which the compositor grants to a new full-screen window.
class WaylandWorkspace final : public DesktopWorkspace {
  public:
    bool grabInput(QWindow* window) override;
    WindowOwner frontmost() override { return {}; }
    bool activate(const WindowOwner&) override { return false; }
    bool postScroll(Point, int, bool) override { return false; }
    std::unique_ptr<KeyTap> tapKeys(const WindowOwner&, std::function<void(int, bool)>) override {
        return nullptr;
    }
};

// Accessibility positions are window-relative on Wayland and windows are unknown, so child
// regions come from the image alone; there is nothing to grant, hence trusted.
class ImageOnlyAccessibility final : public AccessibilityService {
  public:
    bool isTrusted() override { return true; }
    bool requestTrust() override { return true; }
    std::optional<AccessibleElement> application(int) override { return std::nullopt; }
    std::vector<AccessibleElement> windows(const AccessibleElement&) override { return {}; }
    std::optional<AccessibleElement> elementAt(const AccessibleElement&, Point) override {
        return std::nullopt;
    }
    std::optional<AccessibleElement> parent(const AccessibleElement&) override {
        return std::nullopt;
    }
    std::optional<Rect> frame(const AccessibleElement&) override { return std::nullopt; }
    std::vector<AccessibleElement> children(const AccessibleElement&, int) override { return {}; }
    void prepare(const AccessibleElement&) override {}
};

}  // namespace tessal
