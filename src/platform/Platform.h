#pragma once

#include <functional>
#include <memory>

#include "AccessibilityService.h"
#include "FileChooser.h"
#include "HotKeyService.h"
#include "LoginItem.h"
#include "Pasteboard.h"
#include "ScreenCaptureService.h"
#include "TextRecognizer.h"
#include "WindowStreamService.h"
#include "Workspace.h"

namespace tessal {

// What differs between desktops beyond the services themselves.
struct PlatformCapabilities {
    // Overlays are full-screen windows that the compositor puts on their output, and the
    // pointer's position is known only inside our own windows (Wayland).
    bool fullScreenOverlays = false;
    // Seconds the screen needs, once windows of ours are gone, before it shows what they covered:
    // the windows beneath repaint, and a compositor may animate the closing (Wayland).
    double repaintAfterHiding = 0.12;
    // Why long capture cannot run here; empty when it can.
    QString longCaptureUnavailable;
    // Whether a compositing manager draws the windows now, so that translucency shows; asked
    // when it matters, since one may start or stop at any time. Unset = always.
    std::function<bool()> compositing;
};

// Everything the program needs from the desktop, owned in one place.
struct Platform {
    PlatformCapabilities capabilities;
    std::unique_ptr<ScreenCaptureService> capture;
    std::unique_ptr<HotKeyService> hotKeys;
    std::unique_ptr<Pasteboard> pasteboard;
    std::unique_ptr<Workspace> workspace;
    std::unique_ptr<AccessibilityService> accessibility;
    std::unique_ptr<WindowStreamService> windowStreams;
    std::unique_ptr<TextRecognizer> textRecognizer;
    std::unique_ptr<LoginItem> loginItem;
    // The desktop's file chooser; none: Qt's dialog.
    std::unique_ptr<FileChooser> fileChooser;
};

// The platform of the running desktop (X11); needs a QGuiApplication.
Platform createSystemPlatform();
// Whether a display server can be reached; checked before Qt is started, which would abort.
bool systemDisplayAvailable();

}  // namespace tessal
