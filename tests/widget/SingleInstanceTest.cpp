// The single-instance socket between processes of different users: a forked child that drops
// to "nobody" plays the other user.
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/SingleInstance.h"
#include "platform/LocalPeer.h"

using namespace tessal;

namespace {

constexpr uid_t nobody = 65534;

// In a forked child: becomes "nobody", keeping only the right to pass file permissions (so
// that it reaches a socket in a folder closed to it; the peer check is what must stop it).
bool becomeNobody(bool keepFileAccess) {
    if (keepFileAccess && prctl(PR_SET_KEEPCAPS, 1) != 0) return false;
    if (setresgid(nobody, nobody, nobody) != 0 || setresuid(nobody, nobody, nobody) != 0)
        return false;
    if (!keepFileAccess) return true;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    data[0].permitted = data[0].effective = 1u << CAP_DAC_OVERRIDE;
    return syscall(SYS_capset, &header, data) == 0;
}

sockaddr_un address(const QString& path) {
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    std::memcpy(a.sun_path, bytes.constData(), std::min<size_t>(bytes.size(), 107));
    return a;
}

// Reads what arrives within `ms`.
QByteArray readFor(int fd, int ms) {
    QByteArray got;
    pollfd p{fd, POLLIN, 0};
    char buffer[256];
    while (poll(&p, 1, ms) > 0) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        got.append(buffer, int(n));
        if (got.endsWith('\n')) break;
    }
    return got;
}

// Runs the event loop until the child ends; its exit status.
int waitForChild(pid_t child) {
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (clock.elapsed() > 10'000) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
    }
    // A child killed by a signal reads as the shell shows it (SIGPIPE: 141).
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// In a forked child: a peer that hangs up first makes a write fail instead of ending the child.
void ignoreHangUps() {
    signal(SIGPIPE, SIG_IGN);
}

class SingleInstanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        runtime_ = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
        temp_ = QFile::decodeName(qgetenv("TMPDIR"));
        // Playing the other user (chown, setresuid) takes root; CI runs these as root.
        if (geteuid() != 0) GTEST_SKIP() << "another user can be played only as root";
        ASSERT_TRUE(dir_.isValid());
        chmod(QFile::encodeName(dir_.path()).constData(), 0755);
        qputenv("TMPDIR", QFile::encodeName(dir_.path()));
        QDir().mkdir(dir_.filePath("run"));
        chmod(QFile::encodeName(dir_.filePath("run")).constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.filePath("run")));
    }
    void TearDown() override {
        for (const auto& [name, value] :
             {std::pair{"XDG_RUNTIME_DIR", runtime_}, {"TMPDIR", temp_}})
            if (value.isEmpty())
                qunsetenv(name);
            else
                qputenv(name, QFile::encodeName(value));
    }

    QTemporaryDir dir_;
    QString runtime_, temp_;
};

}  // namespace

TEST_F(SingleInstanceTest, TheSocketLivesInAFolderOnlyThisUserReaches) {
    const QString uid = QString::number(getuid());
    EXPECT_EQ(SingleInstance::socketPath(), dir_.filePath("run/local.ostrel.sock"));

    // No usable runtime folder: one of our own in the temporary folder, made private.
    const QString fallback = dir_.filePath("local.ostrel-" + uid);
    for (const QByteArray& runtime : {QByteArray(), QFile::encodeName(dir_.path())}) {
        qputenv("XDG_RUNTIME_DIR", runtime);
        EXPECT_EQ(SingleInstance::socketPath(), fallback + "/local.ostrel.sock");
        struct stat st;
        ASSERT_EQ(lstat(QFile::encodeName(fallback).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(st.st_uid, getuid());
    }

    // Someone else made it first, it is a link, or others may enter it: none is used.
    const QByteArray path = QFile::encodeName(fallback);
    const std::vector<std::pair<const char*, std::function<void()>>> squatted = {
        {"owned by another user", [&] { ASSERT_EQ(chown(path.constData(), nobody, nobody), 0); }},
        {"a link to a private folder",
         [&] {
             rmdir(path.constData());
             ASSERT_TRUE(QFile::link(dir_.filePath("run"), fallback));
         }},
        {"open to others",
         [&] {
             QFile::remove(fallback);
             ASSERT_EQ(mkdir(path.constData(), 0755), 0);
             chmod(path.constData(), 0755);
         }},
    };
    qunsetenv("XDG_RUNTIME_DIR");
    for (const auto& [name, make] : squatted) {
        make();
        EXPECT_EQ(SingleInstance::socketPath(), QString()) << name;
        EXPECT_FALSE(SingleInstance::send(QStringLiteral("capture"), 200)) << name;
        SingleInstance instance;
        EXPECT_FALSE(instance.acquire()) << name;
        EXPECT_FALSE(instance.listen()) << name;
    }
}

TEST_F(SingleInstanceTest, TheRunningInstanceObeysOnlyItsOwnUser) {
    SingleInstance instance;
    ASSERT_TRUE(instance.acquire());
    ASSERT_TRUE(instance.listen());
    struct stat st;
    ASSERT_EQ(stat(QFile::encodeName(SingleInstance::socketPath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u) << "the socket is closed to others too";
    QStringList requests;
    instance.onRequest = [&](const QString& request) {
        requests << request;
        return QStringLiteral("ok");
    };
    const sockaddr_un to = address(SingleInstance::socketPath());

    for (const bool stranger : {true, false}) {
        int answer[2];
        ASSERT_EQ(pipe(answer), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(answer[0]);
            ignoreHangUps();
            if (stranger && !becomeNobody(true)) _exit(2);
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            if (connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) _exit(3);
            // The instance may hang up on a stranger before the request is written.
            if (write(fd, "edit /tmp/x.png\n", 16) != 16 && !stranger) _exit(4);
            const QByteArray got = readFor(fd, 2000);
            (void)!write(answer[1], got.constData(), got.size());
            _exit(0);
        }
        close(answer[1]);
        ASSERT_EQ(waitForChild(child), 0) << (stranger ? "stranger" : "same user");
        const QByteArray got = readFor(answer[0], 100);
        close(answer[0]);
        QCoreApplication::processEvents();
        if (stranger) {
            EXPECT_TRUE(requests.isEmpty()) << requests.join(' ').toStdString();
            EXPECT_EQ(got, QByteArray());
        } else {
            EXPECT_EQ(requests, QStringList{"edit /tmp/x.png"});
            EXPECT_EQ(got, "ok\n");
        }
    }
}

TEST_F(SingleInstanceTest, ARequestGoesOnlyToAnInstanceOfThisUser) {
    const sockaddr_un at = address(SingleInstance::socketPath());
    for (const bool stranger : {true, false}) {
        QFile::remove(SingleInstance::socketPath());
        const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&at), sizeof at), 0);
        int report[2], ready[2];
        ASSERT_EQ(pipe(report), 0);
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The peer of a connection is whoever listened on the socket.
            close(report[0]);
            close(ready[0]);
            ignoreHangUps();
            if (stranger && !becomeNobody(false)) _exit(2);
            if (listen(listener, 4) != 0) _exit(3);
            (void)!write(ready[1], "L\n", 2);
            pollfd p{listener, POLLIN, 0};
            if (poll(&p, 1, 3000) <= 0) _exit(0);
            const int fd = accept(listener, nullptr, nullptr);
            const QByteArray got = readFor(fd, 1000);
            (void)!write(fd, "ok\n", 3);
            (void)!write(report[1], got.constData(), got.size());
            _exit(0);
        }
        close(listener);
        close(report[1]);
        close(ready[1]);
        ASSERT_EQ(readFor(ready[0], 3000), "L\n");
        const bool sent = SingleInstance::send(QStringLiteral("capture"), 1000);
        ASSERT_EQ(waitForChild(child), 0);
        const QByteArray got = readFor(report[0], 100);
        close(report[0]);
        close(ready[0]);
        EXPECT_EQ(sent, !stranger) << (stranger ? "stranger" : "same user");
        EXPECT_EQ(got, stranger ? QByteArray() : QByteArray("capture\n"));
    }
}

// A start racing the resident's own (autostart and the user at once) hands its request over
// once: a resident still starting has it in its socket and acts on every copy sent.
TEST_F(SingleInstanceTest, AHandedOverRequestIsSentOnceEvenWithoutAnAnswer) {
    const sockaddr_un at = address(SingleInstance::socketPath());
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(listen(listener, 8), 0);
    QElapsedTimer clock;
    clock.start();
    bool delivered = false;
    EXPECT_EQ(SingleInstance::handOver(QStringLiteral("capture"), 10, &delivered), std::nullopt);
    EXPECT_TRUE(delivered);
    EXPECT_LT(clock.elapsed(), 6000);
    // Everything sent is still queued on the listener: one connection, one request.
    int requests = 0;
    pollfd p{listener, POLLIN, 0};
    while (poll(&p, 1, 0) > 0) {
        const int fd = accept(listener, nullptr, nullptr);
        if (fd < 0) break;
        requests += readFor(fd, 100) == "capture\n";
        close(fd);
    }
    close(listener);
    EXPECT_EQ(requests, 1);
}

TEST(LocalPeer, TellsTheUserAtTheOtherEnd) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_TRUE(LocalPeer::runsAs(pair[0], getuid()));
    EXPECT_TRUE(LocalPeer::isSameUser(pair[1]));
    EXPECT_FALSE(LocalPeer::runsAs(pair[0], getuid() + 1));
    close(pair[0]);
    close(pair[1]);
    EXPECT_FALSE(LocalPeer::isSameUser(-1));
    EXPECT_FALSE(LocalPeer::isSameUser(pair[0]));
}

// The forwarding command's side of the exchange: one line out, one line back, whatever way the
// answer arrives; a listener that hangs up unanswered is no answer.
TEST(LocalPeer, AsksAListenerForOneLine) {
    QTemporaryDir dir;
    const std::string path = QFile::encodeName(dir.filePath("s.sock")).toStdString();
    const sockaddr_un at = address(QString::fromStdString(path));
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    const std::vector<std::vector<QByteArray>> replies = {{"ok\n"}, {"o", "k no tray\nmore"}, {}};
    std::thread server([&] {
        for (const auto& pieces : replies) {
            const int fd = accept(listener, nullptr, nullptr);
            readFor(fd, 1000);
            for (const QByteArray& piece : pieces) {
                (void)!write(fd, piece.constData(), piece.size());
                usleep(20'000);
            }
            close(fd);
        }
    });
    bool delivered = false;
    EXPECT_EQ(LocalPeer::askListener(path, "capture", 1000, &delivered),
              std::optional<std::string>("ok"));
    EXPECT_TRUE(delivered);
    EXPECT_EQ(LocalPeer::askListener(path, "activate", 1000),
              std::optional<std::string>("ok no tray"));
    // A listener that hangs up without a word did not act on the request: it may be asked
    // elsewhere.
    EXPECT_EQ(LocalPeer::askListener(path, "capture", 1000, &delivered), std::nullopt);
    EXPECT_FALSE(delivered);
    server.join();
    close(listener);
    delivered = true;
    EXPECT_EQ(LocalPeer::askListener(path, "capture", 200, &delivered), std::nullopt);  // nobody
    EXPECT_FALSE(delivered);
    EXPECT_EQ(LocalPeer::askListener(std::string(200, 'x'), "capture", 200), std::nullopt);
}
