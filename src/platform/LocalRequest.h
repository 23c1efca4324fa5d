#pragma once

#include <optional>
#include <string>

// What a local peer is and how to ask one, with system calls alone: also for the small command
// that forwards requests without loading Qt.
namespace tessal::LocalPeer {

// The running Tessal listens for later starts' requests on this socket in the private folder.
inline constexpr char requestSocketName[] = "local.ostrel.sock";

// Whether the process at the other end of a connected local socket runs as `uid`; false when
// that cannot be told.
bool runsAs(int socketDescriptor, unsigned uid);
// The same for this process's own user.
bool isSameUser(int socketDescriptor);

// A folder only this user can reach: a directory (not a link) owned by this user and closed to
// everyone else.
bool isPrivateFolder(const char* path);

// Writes the line `request` to the listener on the Unix socket `socketPath` and reads its
// one-line answer (without the newline). Only a listener of this user is told anything.
// Connecting and writing take at most `timeoutMs`, the answer at most the longer of
// `timeoutMs` and 3 s. Nothing when no such listener answers.
std::optional<std::string> askListener(const std::string& socketPath, const std::string& request,
                                       int timeoutMs);

}  // namespace tessal::LocalPeer
