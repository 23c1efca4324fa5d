#pragma once

#include <QString>
#include <optional>

namespace tessal {

class DefaultsStore;

// The save dialog "保存截图": PNG only, extension shown, the default name, the remembered
// folder. Returns the chosen path, or nothing when cancelled.
std::optional<QString> runSavePanel(const DefaultsStore& defaults);

}  // namespace tessal
