#pragma once

#include <QString>
#include <optional>

#include "AppRelease.h"
#include "UpdateConfiguration.h"

namespace tessal {

// A verified release staged beside the installed bundle, waiting for the installer.
struct PreparedUpdate {
    AppRelease release;
    QString installed;  // the running bundle folder
    QString directory;  // the staging folder, ".morrin-update-<UUID>" beside it

    QString stagedBundle() const { return directory + QStringLiteral("/Update.bundle"); }
};

// Downloads, verifies and stages a release; hands it to the installer script. The installed
// bundle is never touched here, and every failure removes what it staged.
class AppUpdater {
  public:
    explicit AppUpdater(UpdateConfiguration configuration)
        : configuration_(std::move(configuration)) {}

    static UserError failure(const QString& message);
    static inline const QString stagingPrefix = QStringLiteral(".morrin-update-");

    // Blocking: runs the download on a local event loop, so call it from a worker thread.
    // `runningExecutable` is the program's own file (it must lie inside `installed`).
    Result<PreparedUpdate> prepare(const AppRelease& release, const QString& installed,
                                   const QString& runningExecutable) const;
    // Starts the installer script for the staged update and returns; the caller then quits.
    std::optional<UserError> install(const PreparedUpdate& update, qint64 pid) const;

    // $XDG_DATA_HOME/local.ostrel/UpdateResult.txt
    static QString resultPath();

    std::optional<UserError> validateDestination(const QString& installed,
                                                 const QString& runningExecutable) const;
    std::optional<UserError> validateApplication(const QString& candidate, const QString& installed,
                                                 const AppRelease& release) const;

  private:
    UpdateConfiguration configuration_;
};

}  // namespace tessal
