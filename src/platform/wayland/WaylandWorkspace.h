#pragma once

#include <QRect>
#include <QSet>
#include <QString>

#include "platform/AccessibilityService.h"
#include "platform/desktop/QtDesktop.h"

namespace tessal {

class CompositorWindows;
class WheelPointer;
class PortalRemote;

// Wayland gives a client no other client's windows: what is known of them, and focusing one,
// comes from the compositor's own interface where it has one (CompositorWindows). Our own
// windows take the keyboard by being activated, which the compositor grants to a new
// full-screen window. Wheel turns go through a virtual pointer of ours on wlroots compositors,
// else through the portal's remote-desktop session that casts the screen for the long capture
// (`remote`), where the user let it move the pointer, else through a remote-desktop session of
// GNOME's own on GNOME.
// There is no key tap: Return, Space and Escape reach us while one of our panels has the focus.
class WaylandWorkspace final : public DesktopWorkspace {
  public:
    explicit WaylandWorkspace(std::unique_ptr<CompositorWindows> windows = nullptr, int ownPid = 0,
                              std::shared_ptr<const PortalRemote> remote = nullptr);
    ~WaylandWorkspace() override;
    bool grabInput(QWindow* window) override;
    WindowOwner frontmost() override;
    bool knowsFrontmost() const override { return windows_ != nullptr; }
    bool activate(const WindowOwner& owner) override;
    bool postScroll(const ScrollRequest& request) override;
    void prepareScrolling() override;
    std::unique_ptr<KeyTap> tapKeys(const WindowOwner& target,
                                    std::function<void(int, bool)> onKey) override;
    void keepPanel(QWindow* window, const QRect& frame) override;
    bool placesPanels() const override;
    bool pointerPassesShapedWindows() const override { return false; }

  private:
    std::unique_ptr<CompositorWindows> windows_;
    int ownPid_;
    std::shared_ptr<const PortalRemote> remote_;
    std::unique_ptr<WheelPointer> pointer_;
    enum class PointerKind { virtualPointer, portal, gnome };
    PointerKind pointerKind_ = PointerKind::virtualPointer;
    WheelPointer* wheel();
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
