#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <vector>

#include "base/DefaultsStore.h"

using namespace tessal;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(DefaultsStore, KeepsTypesAcrossReload) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/defaults.json");
    {
        DefaultsStore store(path);
        store.set("flag", true);
        store.set("count", 20);
        store.set("name", "截图");
        store.set("colour", QJsonArray{1.0, 0.23, 0.19, 1.0});
        EXPECT_FALSE(store.lastWriteFailed());
    }
    DefaultsStore store(path);
    EXPECT_EQ(store.boolValue("flag"), true);
    EXPECT_EQ(store.numberValue("count"), 20.0);
    EXPECT_EQ(store.stringValue("name"), QString("截图"));
    EXPECT_EQ(store.value("colour").toArray().size(), 4);
    // A Boolean never reads as a number, nor a number as a Boolean or text.
    EXPECT_FALSE(store.numberValue("flag"));
    EXPECT_FALSE(store.boolValue("count"));
    EXPECT_FALSE(store.stringValue("count"));
    EXPECT_EQ(store.boolValue("missing", true), true);
    store.remove("flag");
    EXPECT_FALSE(DefaultsStore(path).contains("flag"));
}

TEST(DefaultsStore, CorruptFileIsSetAsideNeverDeleted) {
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.json");
    for (const QByteArray& bad : {QByteArray("{\"copyCloses\": tru"), QByteArray("[1, 2]"),
                                  QByteArray("\xff\xfe garbage")}) {
        writeFile(path, bad);
        DefaultsStore store(path);
        EXPECT_FALSE(store.contains("copyCloses"));
        ASSERT_FALSE(store.setAsidePath().isEmpty());
        EXPECT_EQ(readFile(store.setAsidePath()), bad);
        EXPECT_FALSE(QFileInfo::exists(path));
        store.set("copyCloses", false);
        EXPECT_EQ(DefaultsStore(path).boolValue("copyCloses"), false);
        QFile::remove(path);
    }
    // Three set-aside files, none overwriting another.
    EXPECT_EQ(QDir(dir.path()).entryList({"defaults.json.corrupt-*"}).size(), 3);
}

TEST(DefaultsStore, FailedWriteLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.json");
    DefaultsStore store(path);
    store.set("a", 1);
    const QByteArray before = readFile(path);
    // A file-size limit makes the replacement fail part way, as a full disk would, even for
    // a user allowed to write anywhere.
    std::vector<QString> reported;
    store.onWriteFailure = [&](const QString& reason) { reported.push_back(reason); };
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    store.set("b", QString(200, 'x'));
    store.set("c", QString(200, 'y'));
    const bool failed = store.lastWriteFailed();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_TRUE(failed);
    // Told once, in Chinese, however many writes fail; a later success clears the state.
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_FALSE(reported[0].isEmpty());
    EXPECT_FALSE(reported[0].contains(QRegularExpression("[A-Za-z]"))) << reported[0].toStdString();
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(store.stringValue("b"), QString(200, 'x'));          // kept in memory for this run
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // no partial file left
}

// A damaged file that cannot be renamed (its folder is not writable) stays exactly as it is:
// the store works in memory and never writes over it. Run as an unprivileged user in a child
// process, since root may rename anything.
TEST(DefaultsStore, DamagedFileThatCannotBeMovedIsNeverOverwritten) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/defaults.json";
    writeFile(path, "{broken");
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                          QFileDevice::ExeOther);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        DefaultsStore store(path);
        int reports = 0;
        store.onWriteFailure = [&](const QString&) { ++reports; };
        store.set("copyCloses", false);
        const bool ok = store.keepsDamagedFile() && store.setAsidePath().isEmpty() &&
                        store.lastWriteFailed() && reports == 1 &&
                        store.boolValue("copyCloses") == false;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(path), "{broken");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 1);
}
