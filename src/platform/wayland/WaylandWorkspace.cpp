#include "WaylandWorkspace.h"

#include <QWindow>

namespace tessal {

bool WaylandWorkspace::grabInput(QWindow* window) {
    if (!window) return false;
    window->requestActivate();
    return true;
}

}  // namespace tessal
