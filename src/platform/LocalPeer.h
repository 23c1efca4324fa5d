#pragma once

#include <QString>

namespace tessal::LocalPeer {

// Whether the process at the other end of a connected local socket runs as `uid`; false when
// that cannot be told.
bool runsAs(int socketDescriptor, unsigned uid);
// The same for this process's own user.
bool isSameUser(int socketDescriptor);

// A folder only this user can reach, for sockets and locks: $XDG_RUNTIME_DIR when it is this
// user's and closed to others, else "<temporary folder>/<name>-<uid>", made with mode 0700 when
// missing. Empty when neither is safe (someone else owns the fallback, it is a link, or others
// may enter it).
QString privateFolder(const QString& name);
// The checks of privateFolder() on one existing folder.
bool isPrivateFolder(const QString& path);

}  // namespace tessal::LocalPeer
