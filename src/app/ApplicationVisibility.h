#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace tessal {

// Hides every window of the program and brings back exactly those later.
class ApplicationVisibility {
  public:
    // Returns whether any window was on screen.
    bool hide();
    void unhide();
    void activate();

  private:
    QList<QPointer<QWidget>> hidden_;
};

}  // namespace tessal
