#pragma once

#include <memory>

#include "AccessibilityService.h"
#include "HotKeyService.h"
#include "LoginItem.h"
#include "Pasteboard.h"
#include "ScreenCaptureService.h"
#include "TextRecognizer.h"
#include "WindowStreamService.h"
#include "Workspace.h"

namespace tessal {

// Everything the program needs from the desktop, owned in one place.
struct Platform {
    std::unique_ptr<ScreenCaptureService> capture;
    std::unique_ptr<HotKeyService> hotKeys;
    std::unique_ptr<Pasteboard> pasteboard;
    std::unique_ptr<Workspace> workspace;
    std::unique_ptr<AccessibilityService> accessibility;
    std::unique_ptr<WindowStreamService> windowStreams;
    std::unique_ptr<TextRecognizer> textRecognizer;
    std::unique_ptr<LoginItem> loginItem;
};

// The platform of the running desktop (X11); needs a QGuiApplication.
Platform createSystemPlatform();
// Whether a display server can be reached; checked before Qt is started, which would abort.
bool systemDisplayAvailable();

}  // namespace tessal
