#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "ScrollInjector.h"
#include "base/geometry.h"

class QWindow;

namespace tessal {

// Another program as the desktop shows it: the process that owns one of its windows, and that
// window, which stands in for the process when no process can be named (a client that sets no
// _NET_WM_PID and is not local).
struct WindowOwner {
    int pid = 0;          // 0: unknown
    unsigned window = 0;  // the window-list number; 0: none
    // Whether window `otherWindow` of process `otherPid` (0 when unknown) belongs to this owner.
    bool owns(int otherPid, unsigned otherWindow) const {
        return pid > 0 ? otherPid == pid : window != 0 && otherWindow == window;
    }
    friend bool operator==(const WindowOwner&, const WindowOwner&) = default;
};

// Return, Space and Escape taken from the desktop while it lives (see Workspace::tapKeys).
class KeyTap {
  public:
    virtual ~KeyTap() = default;
};

// The desktop around the program.
class Workspace : public ScrollInjector {
  public:
    virtual ~Workspace() = default;
    virtual bool openAddress(const QString& address) = 0;
    // Shows the files selected in the file manager, or opens their folder when it cannot select.
    virtual void revealFiles(const QStringList& paths) = 0;
    // Opens the desktop's own accessibility settings; false when the desktop has none we know.
    virtual bool openAccessibilitySettings() = 0;
    // Shows a desktop notification; the reason (for a terminal) when none can be shown.
    virtual std::optional<QString> notify(const QString& summary, const QString& body) = 0;
    // Takes the keyboard and the pointer for a window of ours (a capture overlay, which the
    // window manager never focuses); false while another client holds either. Our other windows
    // keep receiving their own pointer events. Both end when the window hides.
    virtual bool grabInput(QWindow* window) = 0;
    // Sends what our windows asked of the display server (a hide, say) now rather than when
    // the event loop next runs dry, and waits until the server has carried it out where it
    // can tell: the user waits for it, and work started next must not compete with it.
    virtual void sendWindowChanges() {}

    // The active window and its process (each 0 when unknown).
    virtual WindowOwner frontmost() = 0;
    // Whether frontmost() can tell at all here.
    virtual bool knowsFrontmost() const { return true; }
    // Brings the frontmost window of the owner's process to the front, or the owner's window
    // when the process is unknown or shows none; false when there is nothing to bring.
    virtual bool activate(const WindowOwner& owner) = 0;
    // Keeps a panel of ours (`window`, about to be shown or shown) at `frame` (Qt global),
    // above other windows and without taking the focus. Window flags and positions do that on
    // X11; a Wayland compositor places windows itself and is asked where it can be.
    virtual void keepPanel(QWindow* window, const QRect& frame) { (void)window, (void)frame; }
    // Whether keepPanel puts our panels where asked. Where it cannot, a long capture's panels
    // share one full-screen window of ours, transparent and letting the pointer through outside
    // them (LongCapturePanelHost).
    virtual bool placesPanels() const { return true; }
    // Whether the pointer reaches what lies behind the cut-away parts of a shaped window of
    // ours. Some compositors route the pointer by a window's whole rectangle (sway 1.7 does for
    // floating windows, whatever the input region), so a wheel turned there never reaches the
    // window behind.
    virtual bool pointerPassesShapedWindows() const { return true; }
    // Takes Return, Space and Escape (without Control, Alt or Super) from whatever has the
    // keyboard, while the active window belongs to `target` or to this program, and reports
    // each on the main thread with whether it is an auto-repeat; other applications get their
    // keys unchanged. Ends when the tap is destroyed; null when keys cannot be taken here.
    virtual std::unique_ptr<KeyTap> tapKeys(
        const WindowOwner& target, std::function<void(int keyCode, bool repeat)> onKey) = 0;
};

}  // namespace tessal
