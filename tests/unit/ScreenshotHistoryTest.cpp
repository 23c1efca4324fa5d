#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <atomic>
#include <random>
#include <thread>

#include "base/DefaultsStore.h"
#include "tools/ScreenshotHistory.h"

using namespace tessal;

namespace {

// A PNG of w × h pixels; with `noise` it hardly compresses, so its size grows with its area.
QByteArray png(int w, int h, int seed, bool noise = false) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(seed * 37 % 360, 200, 200));
    if (noise) {
        std::mt19937 random(seed);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) image.setPixel(x, y, random());
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class ScreenshotHistoryTest : public ::testing::Test {
  protected:
    ScreenshotHistoryTest() { configure(history); }
    void configure(ScreenshotHistory& h) {
        h.now = [this] { return clock += 1'000'000; };
    }

    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    QString folder = dir.filePath("data/Zelmar/History");
    ScreenshotHistory history{folder, defaults};
    qint64 clock = 1'700'000'000'000'000;
};

TEST_F(ScreenshotHistoryTest, RecordsOnlyWhenOnAndNeverTheNewestTwice) {
    history.record(png(10, 10, 1));
    EXPECT_FALSE(QFileInfo::exists(folder));  // off: not even the folder

    history.setEnabled(true);
    const QByteArray a = png(10, 10, 1), b = png(10, 10, 2);
    history.record(a);
    history.record(a);
    EXPECT_EQ(history.entries().size(), 1);
    history.record(b);
    history.record(a);
    const QStringList entries = history.entries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(readAll(entries[0]), a);  // newest first
    EXPECT_EQ(readAll(entries[1]), b);

    // Not an image: nothing recorded, no error.
    history.record("not a png at all");
    EXPECT_EQ(history.entries().size(), 3);
    EXPECT_TRUE(history.lastError().isEmpty());

    // Private: the folder 0700, each file 0600.
    EXPECT_EQ(QFileInfo(folder).permissions() & 0x7777,
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                  QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
    EXPECT_EQ(QFileInfo(entries[0]).permissions() & 0x7777,
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                  QFileDevice::WriteUser);
}

TEST_F(ScreenshotHistoryTest, NamesCarryTheTimeAndSortNewestFirst) {
    history.setEnabled(true);
    for (int i = 0; i < 3; ++i) history.record(png(8, 8, i + 1));
    const QStringList entries = history.entries();
    ASSERT_EQ(entries.size(), 3);
    const QString name = QFileInfo(entries[0]).fileName();
    EXPECT_EQ(name.size(), 20 + 1 + 64 + 4);
    EXPECT_TRUE(name.startsWith("00001700000003000000-")) << name.toStdString();
    EXPECT_DOUBLE_EQ(ScreenshotHistory::recordedAt(entries[0]), 1'700'000'003.0);
    EXPECT_DOUBLE_EQ(ScreenshotHistory::recordedAt(entries[2]), 1'700'000'001.0);
    EXPECT_EQ(ScreenshotHistory::recordedAt("/x/screenshot.png"), 0.0);
}

TEST_F(ScreenshotHistoryTest, LimitIsOneOfFourAndPrunesTheOldest) {
    defaults.set(ScreenshotHistory::limitKey, 30);
    EXPECT_EQ(history.limit(), 20);
    history.setLimit(30);
    EXPECT_EQ(defaults.numberValue(ScreenshotHistory::limitKey), 20.0);
    defaults.set(ScreenshotHistory::limitKey, "10");
    EXPECT_EQ(history.limit(), 20);

    history.setEnabled(true);
    history.setLimit(10);
    EXPECT_EQ(history.limit(), 10);
    for (int i = 0; i < 11; ++i) history.record(png(8, 8, i + 1));
    const QStringList entries = history.entries();
    ASSERT_EQ(entries.size(), 10);
    EXPECT_DOUBLE_EQ(ScreenshotHistory::recordedAt(entries.back()), 1'700'000'002.0);
}

TEST_F(ScreenshotHistoryTest, ByteBudgetKeepsTheNewestThatFit) {
    const QByteArray small = png(8, 8, 1), large1 = png(200, 200, 2, true),
                     large2 = png(200, 200, 3, true);
    ScreenshotHistory tight(folder, defaults, large2.size() + small.size() + 10);
    configure(tight);
    tight.setEnabled(true);
    tight.record(png(400, 400, 4, true));  // alone over the budget: never recorded
    EXPECT_TRUE(tight.entries().isEmpty());
    tight.record(small);
    tight.record(large1);
    tight.record(large2);
    // large2 fits, large1 then does not, the older small one still does.
    const QStringList entries = tight.entries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(readAll(entries[0]), large2);
    EXPECT_EQ(readAll(entries[1]), small);
}

TEST_F(ScreenshotHistoryTest, OnlyLowerCasePngFilesAreEntries) {
    history.setEnabled(true);
    history.setLimit(10);
    history.record(png(8, 8, 1));
    for (const char* other : {"notes.txt", "00000000000000000001-x.PNG", "shot.png.tmp"}) {
        QFile f(QDir(folder).filePath(other));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    EXPECT_EQ(history.entries().size(), 1);
    for (int i = 0; i < 12; ++i) history.record(png(8, 8, i + 2));
    EXPECT_EQ(history.entries().size(), 10);
    EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath("00000000000000000001-x.PNG")));
    EXPECT_FALSE(history.clear());
    EXPECT_TRUE(history.entries().isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);  // the others are not ours
    // remove() leaves anything that is not an entry alone.
    EXPECT_FALSE(history.remove(QDir(folder).filePath("notes.txt")));
    EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath("notes.txt")));
}

TEST_F(ScreenshotHistoryTest, AFailedWriteIsReportedUntilTheNextSuccess) {
    history.setEnabled(true);
    // A file where the folder should be: the folder cannot be made.
    QDir().mkpath(dir.filePath("data/Zelmar"));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    history.record(png(8, 8, 1));
    EXPECT_FALSE(history.lastError().isEmpty());
    EXPECT_TRUE(history.lastError().endsWith("不是文件夹")) << history.lastError().toStdString();
    QFile::remove(folder);
    history.record(png(8, 8, 2));
    EXPECT_TRUE(history.lastError().isEmpty());
    EXPECT_EQ(history.entries().size(), 1);

    // A clear forgets the failure too.
    ASSERT_TRUE(QFile::rename(folder, folder + ".kept"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    history.record(png(8, 8, 3));
    ASSERT_FALSE(history.lastError().isEmpty());
    EXPECT_FALSE(history.clear());
    EXPECT_TRUE(history.lastError().isEmpty());
}

// The split write as the copy uses it: written on a worker thread while the main thread
// clears and removes. Whatever interleaving happens, nothing fails, no partial file is left and
// every entry is a whole image.
TEST_F(ScreenshotHistoryTest, WritesOnAWorkerBesideClearsAndRemovesOnTheMainThread) {
    history.setEnabled(true);
    history.setLimit(10);
    std::vector<QByteArray> images;
    for (int i = 0; i < 40; ++i) images.push_back(png(64, 48, i, true));
    std::vector<ScreenshotHistory::Recording> recordings;
    for (std::size_t i = 0; i < images.size(); ++i) recordings.push_back(*history.prepare());
    std::vector<ScreenshotHistory::Outcome> outcomes(images.size());
    std::atomic<bool> done = false;
    std::thread writer([&] {
        for (std::size_t i = 0; i < images.size(); ++i)
            outcomes[i] = ScreenshotHistory::write(recordings[i], images[i]);
        done = true;
    });
    int rounds = 0;
    while (!done || rounds < 3) {
        const QStringList present = history.entries();
        if (!present.isEmpty()) {
            EXPECT_FALSE(history.remove(present.back()));
        }
        EXPECT_FALSE(history.clear());
        ++rounds;
    }
    writer.join();
    for (const auto& outcome : outcomes) {
        EXPECT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
        history.finish(outcome);
    }
    EXPECT_TRUE(history.lastError().isEmpty());
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        EXPECT_TRUE(name.endsWith(".png")) << "left behind: " << name.toStdString();
        EXPECT_FALSE(QImage(QDir(folder).filePath(name)).isNull()) << name.toStdString();
    }
}

TEST(ScreenshotHistoryThumbnail, FitsTheLongerSideAndFailsQuietly) {
    QTemporaryDir dir;
    const QString path = dir.filePath("wide.png");
    QImage(1000, 250, QImage::Format_RGB32).save(path);
    EXPECT_EQ(ScreenshotHistory::thumbnail(path, 96).size(), QSize(96, 24));
    EXPECT_EQ(ScreenshotHistory::thumbnail(path, 4000).size(), QSize(1000, 250));
    // Two colours are written as a 1-bit palette: the thumbnail keeps them.
    QImage mono(1200, 700, QImage::Format_Mono);
    mono.setColorTable({qRgb(46, 139, 87), qRgb(255, 255, 255)});
    mono.fill(0);
    ASSERT_TRUE(mono.save(dir.filePath("mono.png")));
    const QImage small = ScreenshotHistory::thumbnail(dir.filePath("mono.png"), 96);
    EXPECT_EQ(small.size(), QSize(96, 56));
    EXPECT_EQ(small.pixelColor(40, 30), QColor(46, 139, 87));
    QFile broken(dir.filePath("broken.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG nothing more");
    broken.close();
    EXPECT_TRUE(ScreenshotHistory::thumbnail(broken.fileName(), 96).isNull());
    EXPECT_TRUE(ScreenshotHistory::thumbnail(dir.filePath("missing.png"), 96).isNull());
}

// The list's thumbnails are kept beside the history, made once per entry and deleted with it.
TEST(ScreenshotHistoryThumbnail, CachedPerEntryAndRemovedWithIt) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    const QString cache = dir.filePath("thumbnails");
    ScreenshotHistory history(dir.filePath("History"), defaults,
                              ScreenshotHistory::standardMaximumBytes, cache);
    QStringList recorded;
    history.onRecorded = [&](const QString& entry) { recorded << entry; };
    history.setEnabled(true);
    history.record(png(400, 200, 1));
    ASSERT_EQ(recorded, history.entries());
    EXPECT_EQ(history.listThumbnail(recorded[0]).size(), QSize(96, 48));
    const QString cached = QDir(cache).filePath(QFileInfo(recorded[0]).fileName());
    ASSERT_TRUE(QFileInfo::exists(cached));
    EXPECT_EQ(QImage(cached).size(), QSize(96, 48));
    // Read from the cache from now on: a cached picture is used as it is.
    QImage marked(96, 48, QImage::Format_RGB32);
    marked.fill(Qt::red);
    marked.save(cached);
    EXPECT_EQ(history.listThumbnail(recorded[0]).pixelColor(5, 5), QColor(Qt::red));
    EXPECT_FALSE(history.remove(recorded[0]));
    EXPECT_FALSE(QFileInfo::exists(cached));
}

// What the store announces, so that open windows follow without listing on a timer: every
// operation that writes or deletes an entry says so once, and nothing else does.
TEST_F(ScreenshotHistoryTest, AnnouncesEveryChangeOnceAndNothingElse) {
    int entriesChanged = 0, errorChanged = 0;
    std::vector<bool> switched;
    QObject::connect(&history, &ScreenshotHistory::entriesChanged, [&] { ++entriesChanged; });
    QObject::connect(&history, &ScreenshotHistory::lastErrorChanged, [&] { ++errorChanged; });
    QObject::connect(&history, &ScreenshotHistory::recordingChanged,
                     [&](bool on) { switched.push_back(on); });
    const auto count = [&](const char* step, const std::function<void()>& action, int entries,
                           int errors = 0) {
        entriesChanged = errorChanged = 0;
        action();
        EXPECT_EQ(entriesChanged, entries) << step;
        EXPECT_EQ(errorChanged, errors) << step;
    };

    count(
        "recording off", [&] { history.record(png(8, 8, 1)); }, 0);
    history.setEnabled(true);
    history.setEnabled(true);
    history.setLimit(10);
    EXPECT_EQ(switched, std::vector<bool>{true});
    count(
        "first recording", [&] { history.record(png(8, 8, 1)); }, 1);
    count(
        "the same again", [&] { history.record(png(8, 8, 1)); }, 0);
    count(
        "not an image", [&] { history.record("nothing"); }, 0);
    for (int i = 0; i < 9; ++i) history.record(png(8, 8, i + 2));
    count(
        "an eleventh, pruning the oldest", [&] { history.record(png(8, 8, 20)); }, 1);
    ASSERT_EQ(history.entries().size(), 10);
    count(
        "prune within the limit", [&] { EXPECT_FALSE(history.prune()); }, 0);
    count(
        "remove a stranger", [&] { EXPECT_FALSE(history.remove(dir.filePath("x.png"))); }, 0);
    count(
        "remove an entry", [&] { EXPECT_FALSE(history.remove(history.entries()[3])); }, 1);
    history.setLimit(50);
    for (int i = 0; i < 3; ++i) history.record(png(8, 8, i + 30));
    history.setLimit(10);
    count(
        "prune to a lower limit", [&] { EXPECT_FALSE(history.prune()); }, 1);
    EXPECT_EQ(history.entries().size(), 10);
    count(
        "clear", [&] { EXPECT_FALSE(history.clear()); }, 1);
    count(
        "clear when empty", [&] { EXPECT_FALSE(history.clear()); }, 0);

    // A failure and its end are announced once each, and a worker's write when it finishes.
    QDir(folder).removeRecursively();
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    count(
        "a failed write", [&] { history.record(png(8, 8, 40)); }, 0, 1);
    count(
        "failing again", [&] { history.record(png(8, 8, 41)); }, 0, 0);
    QFile::remove(folder);
    const auto recording = history.prepare();
    ASSERT_TRUE(recording);
    const auto outcome = ScreenshotHistory::write(*recording, png(8, 8, 42));
    count(
        "a worker's write, finished", [&] { history.finish(outcome); }, 1, 1);

    history.setEnabled(false);
    EXPECT_EQ(switched, (std::vector<bool>{true, false}));
    // Switching off keeps what was recorded.
    EXPECT_EQ(history.entries().size(), 1);
}
