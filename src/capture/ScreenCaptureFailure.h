#pragma once

#include "base/AlertSpec.h"
#include "base/UserError.h"

namespace tessal {

// The alert shown when a capture fails; the first button opens the screen-capture settings
// only when permission is missing.
namespace ScreenCaptureFailure {
AlertSpec alert(const UserError& error, bool permissionMissing);
}

}  // namespace tessal
