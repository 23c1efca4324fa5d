#pragma once

#include <QString>
#include <optional>

#include "AppRelease.h"
#include "UpdateConfiguration.h"
#include "UpdateInstaller.h"

namespace tessal {

// Downloads, verifies and stages a release, in the helper process `tessal-update-helper`. The
// installed bundle is never touched here, and every failure removes what it staged.
class AppUpdater {
  public:
    explicit AppUpdater(UpdateConfiguration configuration)
        : configuration_(std::move(configuration)) {}

    // Blocking: runs the download on a local event loop, so call it from a worker thread.
    // `runningExecutable` is the program's own file (it must lie inside `installed`).
    Result<PreparedUpdate> prepare(const AppRelease& release, const QString& installed,
                                   const QString& runningExecutable) const;
    std::optional<UserError> validateDestination(const QString& installed,
                                                 const QString& runningExecutable) const;
    std::optional<UserError> validateApplication(const QString& candidate, const QString& installed,
                                                 const AppRelease& release) const;

  private:
    UpdateConfiguration configuration_;
};

}  // namespace tessal
