#include <unistd.h>
#include <xcb/xcb.h>

#include <QGuiApplication>

#include "DesktopServices.h"
#include "X11Connection.h"
#include "X11HotKeys.h"
#include "X11ScreenCapture.h"
#include "X11WindowStream.h"
#include "platform/Platform.h"
#include "platform/atspi/AtspiAccessibility.h"
#include "platform/ocr/WorkerTextRecognizer.h"
#include "platform/wayland/WaylandPlatform.h"
#include "platform/wayland/WaylandSocket.h"
#include "platform/xdg/AutostartLoginItem.h"
#include "platform/xdg/PortalFileChooser.h"

namespace tessal {

namespace {

Platform createX11Platform() {
    Platform platform;
    platform.capture = std::make_unique<X11ScreenCapture>();
    platform.hotKeys = std::make_unique<X11HotKeys>();
    platform.pasteboard = std::make_unique<QtPasteboard>();
    platform.workspace = std::make_unique<X11Workspace>();
    platform.accessibility = std::make_unique<AtspiAccessibility>();
    platform.windowStreams = std::make_unique<X11WindowStreamService>();
    platform.capabilities.compositing = [] { return x11::compositingManagerRunning(); };
    return platform;
}

bool waylandDisplayAvailable() {
    const int fd = connectWaylandSocket();
    if (fd >= 0) close(fd);
    return fd >= 0;
}

}  // namespace

Platform createSystemPlatform() {
    // Qt has chosen the display server by now (QT_QPA_PLATFORM, or the session type).
    Platform platform = QGuiApplication::platformName() == QLatin1String("wayland")
                            ? createWaylandPlatform()
                            : createX11Platform();
    platform.textRecognizer =
        std::make_unique<WorkerTextRecognizer>(WorkerTextRecognizer::defaultWorkerPath());
    platform.loginItem = std::make_unique<AutostartLoginItem>(AutostartLoginItem::standard());
    platform.fileChooser = std::make_unique<PortalFileChooser>(QDBusConnection::sessionBus());
    return platform;
}

bool systemDisplayAvailable() {
    if (waylandDisplayAvailable()) return true;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool ok = c && xcb_connection_has_error(c) == 0;
    if (c) xcb_disconnect(c);
    return ok;
}

}  // namespace tessal
