#include "WaylandPlatform.h"

#include <QCoreApplication>

#include "CompositorWindows.h"
#include "PortalPointer.h"
#include "WaylandHotKeys.h"
#include "WaylandScreenCapture.h"
#include "WaylandWindowStream.h"
#include "WaylandWorkspace.h"
#include "platform/desktop/QtDesktop.h"

#include <QCoreApplication>

namespace tessal {

Platform createWaylandPlatform() {
    Platform platform;
    platform.capabilities.fullScreenOverlays = true;
    // KWin, GNOME Shell and Hyprland animate a closing window for up to about a quarter second,
    // and the picture is read from what the compositor shows; no window list tells when it ends.
    platform.capabilities.repaintAfterHiding = 0.3;
    platform.capture = std::make_unique<WaylandScreenCapture>();
    platform.hotKeys = std::make_unique<WaylandHotKeys>();
    platform.pasteboard = std::make_unique<QtPasteboard>();
    // The long capture's screen cast through the portal may also turn the wheel.
    const auto remote = std::make_shared<PortalRemote>();
    platform.workspace = std::make_unique<WaylandWorkspace>(
        compositorWindowsFromEnvironment(), int(QCoreApplication::applicationPid()), remote);
    platform.accessibility = std::make_unique<ImageOnlyAccessibility>();
    // Long capture reads the screen through wlr-screencopy (wlroots compositors), elsewhere
    // through the desktop portal's screen cast.
    platform.windowStreams = std::make_unique<WaylandWindowStreamService>(
        WaylandWindowStreamService::sourceFromEnvironment(), remote);
    return platform;
}

}  // namespace tessal
