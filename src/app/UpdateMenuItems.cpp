#include "UpdateMenuItems.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "AppServices.h"
#include "base/DefaultsStore.h"

namespace tessal {

UpdateMenuItems::UpdateMenuItems(QMenu& menu, AppServices& services, DefaultsStore& defaults,
                                 std::function<void()> openChangelog)
    : defaults_(defaults) {
    const QString off = services.updatesUnavailable();
    if (off.isEmpty()) {
        automatic_ = menu.addAction(QCoreApplication::translate("UpdateMenuItems", "自动下载更新"),
                                    &menu, [&defaults] {
                                        defaults.set(AppServices::automaticChecksKey,
                                                     !AppServices::automaticChecks(defaults));
                                    });
        automatic_->setCheckable(true);
        check_ = menu.addAction(QCoreApplication::translate("UpdateMenuItems", "检查更新…"), &menu,
                                [&services] { services.check(true); });
    } else {
        unavailable_ = menu.addAction(off);
        unavailable_->setEnabled(false);
    }
    menu.addAction(QCoreApplication::translate("UpdateMenuItems", "更新日志"), &menu,
                   std::move(openChangelog));
    refresh();
}

void UpdateMenuItems::refresh() {
    if (automatic_) automatic_->setChecked(AppServices::automaticChecks(defaults_));
}

}  // namespace tessal
