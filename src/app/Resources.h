#pragma once

namespace tessal {

// Registers the icons compiled into the interface library; call once after the application
// object exists.
void initResources();

}  // namespace tessal
