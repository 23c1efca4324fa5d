#pragma once

#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace tessal {

class AppServices;
class DefaultsStore;

// The tray menu's update items. Without an update channel the automatic-download setting and
// the check would do nothing, so a disabled line says how this copy is updated instead.
class UpdateMenuItems {
  public:
    // Appends the items to `menu`; `openChangelog` opens the release notes.
    UpdateMenuItems(QMenu& menu, AppServices& services, DefaultsStore& defaults,
                    std::function<void()> openChangelog);

    // Follows the stored setting with the check mark.
    void refresh();

    // Null without a channel.
    QAction* automatic() const { return automatic_; }
    QAction* check() const { return check_; }
    // Null with a channel.
    QAction* unavailable() const { return unavailable_; }

  private:
    DefaultsStore& defaults_;
    QAction* automatic_ = nullptr;
    QAction* check_ = nullptr;
    QAction* unavailable_ = nullptr;
};

}  // namespace tessal
