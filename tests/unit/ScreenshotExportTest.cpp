#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <future>

#include "annotation/ScreenshotExport.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "imaging/PngEncoder.h"
#include "platform/fake/FakePlatform.h"
#include "tools/SaveDestination.h"
#include "tools/ScreenshotHistory.h"

using namespace tessal;

TEST(ScreenshotExport, NamesFoldersAndWrites) {
    EXPECT_EQ(SaveDestination::defaultFileName(1712345678), "截图-1712345678.png");
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    EXPECT_EQ(SaveDestination::rememberedDirectory(defaults), "");

    QDir(dir.path()).mkdir("shots");
    const QString target = dir.filePath("shots/a.png");
    QString error;
    ASSERT_TRUE(SaveDestination::writePNG("PNGDATA", target, defaults, &error));
    EXPECT_EQ(SaveDestination::rememberedDirectory(defaults), dir.filePath("shots"));
    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "PNGDATA");

    // A write that fails leaves the remembered folder as it was.
    EXPECT_FALSE(SaveDestination::writePNG("X", dir.filePath("nowhere/b.png"), defaults, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(SaveDestination::rememberedDirectory(defaults), dir.filePath("shots"));
    // A folder that vanished is forgotten.
    QDir(dir.filePath("shots")).removeRecursively();
    EXPECT_EQ(SaveDestination::rememberedDirectory(defaults), "");
}

TEST(CapturePreferences, CopyClosesAndDefaultTool) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    EXPECT_TRUE(CapturePreferences::copyCloses(defaults));
    defaults.set("copyCloses", 0);  // not a Boolean
    EXPECT_TRUE(CapturePreferences::copyCloses(defaults));
    defaults.set("copyCloses", false);
    EXPECT_FALSE(CapturePreferences::copyCloses(defaults));
    EXPECT_EQ(CapturePreferences::defaultTool(defaults), 0);
    for (const auto& [stored, expected] :
         std::vector<std::pair<double, int>>{{15, 10}, {-2, 0}, {4, 4}, {7.9, 7}}) {
        defaults.set("defaultTool", stored);
        EXPECT_EQ(CapturePreferences::defaultTool(defaults), expected) << stored;
    }
}

// Copying without waiting: the clipboard is claimed before the PNG exists; once it is made the
// history records it off the main thread; when it cannot be made the offer is withdrawn and the
// user told, and no half-made image is ever offered. A refused clipboard records nothing.
TEST(ScreenshotExport, CopyLaterOffersFirstAndSettlesOnTheMainQueue) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    ScreenshotHistory history(dir.filePath("History"), defaults);
    history.setEnabled(true);
    ManualClock clock;
    ManualMainQueue queue(clock);
    FakePasteboard pasteboard;
    pasteboard.pasteAtOnce = false;
    QImage bitmap(64, 48, QImage::Format_RGB32);
    bitmap.fill(Qt::darkCyan);
    std::vector<AlertSpec> alerts;
    auto report = [&](const AlertSpec& a) { alerts.push_back(a); };

    // The encoder waits until the offer is made: the claim never waits for the bytes.
    std::promise<void> offered;
    std::shared_future<void> offeredYet = offered.get_future().share();
    auto slow = [offeredYet](const QImage& image) {
        offeredYet.wait();
        return PngEncoder::encode(image);
    };
    EXPECT_EQ(ScreenshotExport::copy([bitmap] { return bitmap; }, pasteboard, defaults, queue,
                                     &history, report, slow),
              ScreenshotExport::CopyOutcome::close);
    ASSERT_TRUE(pasteboard.offered);
    offered.set_value();
    const QByteArray png = pasteboard.offered->get();
    EXPECT_EQ(QImage::fromData(png).size(), QSize(64, 48));
    SerialQueue::named("local.ostrel.png").flush();
    ASSERT_EQ(history.entries().size(), 1);  // written on the worker, with the encoding
    QStringList recorded;
    history.onRecorded = [&](const QString& entry) { recorded << entry; };
    queue.runPending();  // the outcome is kept on the main queue
    EXPECT_EQ(recorded, history.entries());

    auto failing = [](const QImage&) { return std::optional<QByteArray>(); };
    ScreenshotExport::copy([bitmap] { return bitmap; }, pasteboard, defaults, queue, &history,
                           report, failing);
    EXPECT_TRUE(pasteboard.offered->get().isEmpty());
    SerialQueue::named("local.ostrel.png").flush();
    queue.runPending();
    EXPECT_EQ(pasteboard.withdrawn, pasteboard.offers);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, "无法复制截图");

    pasteboard.refuse = true;
    bitmap.fill(Qt::darkRed);
    EXPECT_EQ(ScreenshotExport::copy([bitmap] { return bitmap; }, pasteboard, defaults, queue,
                                     &history, report),
              ScreenshotExport::CopyOutcome::refused);
    SerialQueue::named("local.ostrel.png").flush();
    queue.runPending();
    EXPECT_EQ(history.entries().size(), 1);
}

// Where the save dialog opens: the last folder while it exists, else the pictures folder when it
// can take a file, else the home folder with the reason.
TEST(ScreenshotExport, StartFolderFallsBackToHomeAndSaysWhy) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    const QString pictures = dir.filePath("Pictures"), home = dir.filePath("home"),
                  last = dir.filePath("shots"), file = dir.filePath("file");
    QDir(dir.path()).mkdir("Pictures");
    QDir(dir.path()).mkdir("shots");
    QFile(file).open(QIODevice::WriteOnly);
    struct Case {
        const char* name;
        QString remembered, pictures, path, note;
    };
    // A folder no user can write to, root included (access() answers for /proc).
    const QString readOnly = QStringLiteral("/proc/1");
    const Case cases[] = {
        {"pictures", {}, pictures, pictures, {}},
        {"the last folder first", last, pictures, last, {}},
        {"a last folder that is gone", dir.filePath("gone"), pictures, pictures, {}},
        {"no pictures folder set", {}, {}, home, "未设置图片文件夹，已改为主文件夹。"},
        {"pictures missing",
         {},
         dir.filePath("Bilder"),
         home,
         QStringLiteral("图片文件夹“%1”不存在，已改为主文件夹。").arg(dir.filePath("Bilder"))},
        {"pictures is a file",
         {},
         file,
         home,
         QStringLiteral("图片文件夹“%1”不是文件夹，已改为主文件夹。").arg(file)},
        {"pictures not writable",
         {},
         readOnly,
         home,
         QStringLiteral("图片文件夹“%1”不可写入，已改为主文件夹。").arg(readOnly)},
        {"not writable, but a last folder", last, readOnly, last, {}},
    };
    for (const Case& c : cases) {
        if (c.remembered.isEmpty())
            defaults.remove(SaveDestination::lastSaveDirectoryKey);
        else
            defaults.set(SaveDestination::lastSaveDirectoryKey, c.remembered);
        const auto start = SaveDestination::startFolder(defaults, c.pictures, home);
        EXPECT_EQ(start.path, c.path) << c.name;
        EXPECT_EQ(start.note, c.note) << c.name;
    }
}
