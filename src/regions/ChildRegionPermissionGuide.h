#pragma once

#include "base/AlertSpec.h"

namespace tessal {

class AccessibilityService;
class Workspace;

// Explains, once, that regions from the accessibility tree need accessibility switched on.
namespace ChildRegionPermissionGuide {
inline constexpr const char* shownKey = "childRegionPermissionGuideShown";

// Buttons: "去开启" (0), "先截图" (1).
AlertSpec alert(const QString& shortcutLabel);
// Switches accessibility on for the session and opens the desktop's settings for it.
void openSettings(AccessibilityService& accessibility, Workspace& workspace);
}  // namespace ChildRegionPermissionGuide

}  // namespace tessal
