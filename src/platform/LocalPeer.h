#pragma once

#include <QString>

#include "LocalRequest.h"

namespace tessal::LocalPeer {

// A folder only this user can reach, for sockets and locks: $XDG_RUNTIME_DIR when it is this
// user's and closed to others, else "<temporary folder>/<name>-<uid>", made with mode 0700 when
// missing. Empty when neither is safe (someone else owns the fallback, it is a link, or others
// may enter it).
QString privateFolder(const QString& name);
// The checks of privateFolder() on one existing folder.
bool isPrivateFolder(const QString& path);

}  // namespace tessal::LocalPeer
