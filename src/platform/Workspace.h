#pragma once

#include <QString>

class QWindow;

namespace tessal {

// The desktop around the program.
class Workspace {
  public:
    virtual ~Workspace() = default;
    virtual bool openAddress(const QString& address) = 0;
    // Opens the desktop's own accessibility settings; false when the desktop has none we know.
    virtual bool openAccessibilitySettings() = 0;
    // Takes the keyboard and the pointer for a window of ours (a capture overlay, which the
    // window manager never focuses); false while another client holds either. Our other windows
    // keep receiving their own pointer events. Both end when the window hides.
    virtual bool grabInput(QWindow* window) = 0;
};

}  // namespace tessal
