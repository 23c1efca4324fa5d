#pragma once

#include <QStringList>
#include <functional>

#include "base/AlertSpec.h"

namespace tessal {

class DefaultsStore;

// Earlier releases were installed under other names with the same identifier; once, when this
// copy lives in an install folder, the user is advised to remove the ones found beside it.
class LegacyApplicationNotice {
  public:
    static inline const QString shownKey = QStringLiteral("legacyApplicationNoticeShown");

    // "/opt" and ~/.local/opt, in that order.
    static QStringList searchedDirectories();

    // Earlier copies (`<directory>/<name>.bundle` with our identifier), in directory then name
    // order; the running bundle itself, also when reached through a link, is never one.
    static QStringList applications(const QString& current, const QStringList& directories,
                                    const QStringList& earlierNames);

    // Shows the notice when it is due; `run` shows an alert modally and returns the button,
    // `reveal` selects files in the file manager.
    static void presentIfNeeded(DefaultsStore& defaults, const QString& currentBundle,
                                const QStringList& directories, const QStringList& earlierNames,
                                const std::function<int(const AlertSpec&)>& run,
                                const std::function<void(const QStringList&)>& reveal);
};

}  // namespace tessal
