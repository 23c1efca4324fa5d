#pragma once

#include <cstddef>
#include <functional>
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

// One request and its reply on the Unix socket `path`, within `timeoutMs` altogether.
// `complete` says whether the bytes read so far are the whole reply; the end of the stream also
// ends it. Nothing on any failure: no socket, a refusal, a listener of another user where
// `sameUserOnly`, the time box, more than `maximumBytes`. `delivered`, when given, tells
// whether the whole request was handed to the listener (it may act on it without answering).
std::optional<std::string> exchangeOnSocket(const std::string& path, const std::string& request,
                                            const std::function<bool(const std::string&)>& complete,
                                            int timeoutMs, std::size_t maximumBytes,
                                            bool sameUserOnly, bool* delivered = nullptr);

// Writes the line `request` to the listener on the Unix socket `socketPath` and reads its
// one-line answer (without the newline). Only a listener of this user is told anything. All of
// it takes at most the longer of `timeoutMs` and 3 s. Nothing when no such listener answers;
// `delivered` as for exchangeOnSocket.
std::optional<std::string> askListener(const std::string& socketPath, const std::string& request,
                                       int timeoutMs, bool* delivered = nullptr);

// The answer of a running Tessal that refuses a capture while it is taking one: this prefix, then
// the reason in the user's language.
inline constexpr char busyAnswerPrefix[] = "busy ";
// What a command says when its request reached the running Tessal's socket but no answer came
// in time (a main thread held up). Asking again could do the work twice once it reads them.
inline constexpr char unansweredNote[] =
    "the request was sent but the running Tessal has not answered; it acts on it if it reads it "
    "later";

}  // namespace tessal::LocalPeer
