#pragma once

#include <QByteArray>
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

// What the resident program itself does with updates: hand a prepared one to the installer
// script, and know where results and staging folders are. The preparation (download,
// extraction, signatures) runs in the helper process `tessal-update-helper` (AppUpdater), so
// neither its libraries nor a hostile archive ever enter the resident program.
namespace UpdateInstaller {

inline const QString stagingPrefix = QStringLiteral(".morrin-update-");
UserError failure(const QString& message);

// $XDG_DATA_HOME/local.ostrel/UpdateResult.txt
QString resultPath();

// Whether `path` names one of our staging folders beside `bundle`: in the same folder (links
// resolved), ".morrin-update-" followed by a UUID in its canonical form, a folder and no link.
bool isStagingFolder(const QString& path, const QString& bundle);
// Removes `path` when it is such a folder; false when it is not or cannot be removed.
bool removeStagingFolder(const QString& path, const QString& bundle);

// Starts the installer script for the staged update and returns; the caller then quits.
std::optional<UserError> install(const PreparedUpdate& update, qint64 pid);

// The helper beside the program (lib/tessal in an installed copy, the same folder in a build
// tree); empty when there is none.
QString helperPath();

// The helper's one request on its standard input and its answer on standard output (JSON).
QByteArray encodeRequest(const UpdateConfiguration& configuration, const AppRelease& release,
                         const QString& installed, const QString& runningExecutable);
struct Request {
    UpdateConfiguration configuration;
    AppRelease release;
    QString installed;
    QString runningExecutable;
};
std::optional<Request> decodeRequest(const QByteArray& json);
QByteArray encodeAnswer(const Result<PreparedUpdate>& result);
// The answer, or a processing failure when the helper said nothing sensible: a prepared update
// must be for the bundle asked about and lie in a staging folder beside it.
Result<PreparedUpdate> decodeAnswer(const QByteArray& json, const AppRelease& release,
                                    const QString& installed);

}  // namespace UpdateInstaller
}  // namespace tessal
