#pragma once

#include <functional>

#include "platform/SessionBus.h"

namespace tessal {

class AppDelegate;
class ScreenCaptureService;

// What the running Tessal does for the session bus's methods. `service` names the published
// object once there is one (the signals go out through it); the delegate's cancelled captures
// become its CaptureCancelled signal.
BusRequests sessionBusRequests(AppDelegate& delegate, ScreenCaptureService& capture, int ownPid,
                               std::function<SessionBusService*()> service);

// Why a capture asked for by another process is refused while one is being taken.
QString captureBusyMessage();

// A still written for a caller who gave `path`: refused unless the path is absolute and can be
// written; nothing is left at `path` unless the whole PNG is.
BusAnswer writeStillFor(ScreenCaptureService& capture, int ownPid, int display,
                        std::optional<Rect> localRegion, const QString& path);

}  // namespace tessal
