#pragma once

#include <QString>

namespace tessal {

// The desktop around the program.
class Workspace {
  public:
    virtual ~Workspace() = default;
    virtual bool openAddress(const QString& address) = 0;
    // Opens the desktop's own accessibility settings; false when the desktop has none we know.
    virtual bool openAccessibilitySettings() = 0;
};

}  // namespace tessal
