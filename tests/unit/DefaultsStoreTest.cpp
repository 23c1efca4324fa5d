#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <csignal>

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
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    store.set("b", QString(200, 'x'));
    const bool failed = store.lastWriteFailed();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_TRUE(failed);
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(store.stringValue("b"), QString(200, 'x'));          // kept in memory for this run
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // no partial file left
}
