// tessal: the command users and desktops run. A capture asked of the Tessal already running
// (`tessal capture`, bound to a key where the desktop offers programs no shortcut service) is
// handed to it from here, with system calls alone: loading Qt's libraries would take longer
// than the capture's own start. Everything else is the program itself, tessal-app beside this
// file, started in this process with the same arguments.
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/ExitStatus.h"
#include "platform/LocalRequest.h"

namespace {

using namespace tessal;

// The exit status of a plain `tessal capture` handed to the running Tessal; nothing when it
// was not handed over (no Tessal listening, or another request), which the program decides.
std::optional<int> forwardedCapture(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "capture") != 0) return std::nullopt;
    // Only the private folder's first place; the program itself knows the fallback.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!LocalPeer::isPrivateFolder(runtime)) return std::nullopt;
    bool delivered = false;
    const auto answer = LocalPeer::askListener(
        std::string(runtime) + '/' + LocalPeer::requestSocketName, "capture", 1500, &delivered);
    if (!answer) {
        if (!delivered) return std::nullopt;
        std::fprintf(stderr, "tessal: %s\n", LocalPeer::unansweredNote);
        return exitCaptureFailed;
    }
    if (answer->rfind(LocalPeer::busyAnswerPrefix, 0) == 0) {
        std::fprintf(stderr, "tessal: %s\n",
                     answer->c_str() + std::strlen(LocalPeer::busyAnswerPrefix));
        return exitCaptureFailed;
    }
    // Answered ("ok", or anything a later version says): asking again could capture twice.
    return exitDone;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = forwardedCapture(argc, argv)) return *status;
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0 || length >= ssize_t(sizeof self) - 1) {
        if (length > 0) errno = ENAMETOOLONG;
        std::fprintf(stderr, "tessal: cannot find its own file: %s\n", std::strerror(errno));
        return 127;
    }
    std::string program(self, std::size_t(length));
    program.resize(program.rfind('/') + 1);
    program += "tessal-app";
    execv(program.c_str(), argv);
    std::fprintf(stderr, "tessal: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 127;
}
