#include <gtest/gtest.h>

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "app/CapturePreferencesWindow.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "platform/fake/FakePlatform.h"
#include "tools/ScreenshotHistory.h"
#include "tools/ScreenshotHistoryWindow.h"

using namespace tessal;

namespace {

QByteArray png(int seed, QSize size = QSize(40, 30)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(seed * 29 % 360, 180, 220));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

class HistoryWindowTest : public ::testing::Test {
  protected:
    HistoryWindowTest() {
        store.now = [this] { return stamp += 1'000'000; };
        store.setLimit(100);
    }
    std::unique_ptr<ScreenshotHistoryWindow> open() {
        auto window = std::make_unique<ScreenshotHistoryWindow>(
            store, HistoryWindowEnvironment{queue, pasteboard, defaults,
                                            [] { return std::optional<QString>(); },
                                            [this](const AlertSpec& a) {
                                                alerts.push_back(a);
                                                return answer;
                                            },
                                            nullptr});
        window->reload();
        queue.runPending();
        return window;
    }
    void record(int count) {
        store.setEnabled(true);
        for (int i = 0; i < count; ++i) store.record(png(i + 1));
    }
    int enabledButtons(const ScreenshotHistoryWindow& w) const {
        int n = 0;
        for (std::size_t i = 0; i < 5; ++i) n += w.buttons()[i]->isEnabled();
        return n;
    }

    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    ScreenshotHistory store{dir.filePath("History"), defaults};
    qint64 stamp = 1'700'000'000'000'000;
    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePasteboard pasteboard;
    std::vector<AlertSpec> alerts;
    int answer = 0;
};

TEST_F(HistoryWindowTest, StatusSelectionAndPreviewOnOpen) {
    auto empty = open();
    EXPECT_EQ(empty->statusText(), "0 张 · 未开启记录，可在截图偏好中开启");
    EXPECT_EQ(enabledButtons(*empty), 0);
    EXPECT_TRUE(empty->buttons()[5]->isEnabled());  // clearing is always offered

    record(12);
    auto window = open();
    EXPECT_EQ(window->statusText(), "12 张 · 正在记录");
    EXPECT_EQ(window->selectedRow(), 0);
    EXPECT_EQ(window->previewImage().size(), QSize(40, 30));
    EXPECT_EQ(enabledButtons(*window), 5);
    EXPECT_EQ(window->rowThumbnail(11).size(), QSize(40, 30));
    EXPECT_EQ(ScreenshotHistoryWindow::timeText(window->entries()[0]),
              QDateTime::fromSecsSinceEpoch(1'700'000'012).toString("MM-dd HH:mm:ss"));

    // The buttons act on the selected entry.
    window->copyImage();
    EXPECT_EQ(pasteboard.png, png(12));
    QByteArray edited, pinned;
    window->onEdit = [&](const QByteArray& b) { edited = b; };
    window->onPin = [&](const QByteArray& b) { pinned = b; };
    window->selectRow(2);
    window->editImage();
    window->pinImage();
    EXPECT_EQ(edited, png(10));
    EXPECT_EQ(pinned, png(10));
}

TEST_F(HistoryWindowTest, DeletingAndClearing) {
    record(3);
    auto window = open();
    window->selectRow(1);
    window->deleteImage();
    EXPECT_EQ(window->entries().size(), 2);
    EXPECT_EQ(window->selectedRow(), 0);  // the newest remaining
    window->deleteImage();
    window->deleteImage();
    EXPECT_TRUE(window->entries().isEmpty());
    EXPECT_EQ(enabledButtons(*window), 0);
    EXPECT_TRUE(window->previewImage().isNull());

    record(2);
    window->reload();
    answer = 1;  // "取消"
    window->clearHistory();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, "清空截图历史？");
    EXPECT_EQ(alerts[0].buttons, (QStringList{"清空", "取消"}));
    EXPECT_EQ(store.entries().size(), 2);
    answer = 0;
    window->clearHistory();
    EXPECT_TRUE(store.entries().isEmpty());
    EXPECT_EQ(window->statusText(), "0 张 · 正在记录");
}

TEST_F(HistoryWindowTest, OddFilesShowWhatTheyCan) {
    record(1);
    QDir().mkpath(store.directory());
    // A name without leading digits: the epoch; a file that is no image: the placeholder.
    QFile odd(QDir(store.directory()).filePath("zz-not-an-image.png"));
    ASSERT_TRUE(odd.open(QIODevice::WriteOnly));
    odd.write("garbage");
    odd.close();
    auto window = open();
    ASSERT_EQ(window->entries().size(), 2);
    EXPECT_TRUE(window->entries()[0].endsWith("zz-not-an-image.png"));
    EXPECT_EQ(ScreenshotHistoryWindow::timeText(window->entries()[0]),
              QDateTime::fromSecsSinceEpoch(0).toString("MM-dd HH:mm:ss"));
    EXPECT_TRUE(window->rowUnreadable(0));
    EXPECT_TRUE(window->previewImage().isNull());
    EXPECT_FALSE(window->rowUnreadable(1));
    // A file deleted behind the window's back: actions on it do nothing.
    QFile::remove(window->entries()[1]);
    window->selectRow(1);
    window->copyImage();
    EXPECT_TRUE(pasteboard.png.isEmpty());
    // A recording failure shows in the status line.
    QFile::remove(odd.fileName());
    QDir(store.directory()).removeRecursively();
    QFile blocker(store.directory());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    store.record(png(7));
    window->reload();
    EXPECT_TRUE(window->statusText().startsWith("历史记录失败："))
        << window->statusText().toStdString();
}

TEST_F(HistoryWindowTest, PreferencesWriteEveryChangeAtOnce) {
    defaults.set("defaultTool", 42);
    defaults.set(ScreenshotHistory::limitKey, 30);
    CapturePreferencesWindow prefs(defaults, store, [this](const AlertSpec& a) {
        alerts.push_back(a);
        return 0;
    });
    prefs.showWindow();
    EXPECT_TRUE(prefs.copyCloses()->isChecked());  // nothing stored: copying closes
    EXPECT_EQ(prefs.tool()->currentText(), "高亮");
    EXPECT_EQ(prefs.limit()->currentText(), "20 张");
    EXPECT_FALSE(prefs.history()->isChecked());
    EXPECT_FALSE(defaults.contains("copyCloses"));  // loading writes nothing

    prefs.copyCloses()->setChecked(false);
    EXPECT_EQ(defaults.boolValue("copyCloses"), false);
    EXPECT_EQ(defaults.numberValue(ScreenshotHistory::limitKey), 20.0);
    EXPECT_EQ(defaults.numberValue("defaultTool"), 10.0);

    // Lowering the limit prunes at once.
    prefs.history()->setChecked(true);
    prefs.limit()->setCurrentIndex(3);  // 100
    for (int i = 0; i < 15; ++i) store.record(png(i + 1));
    ASSERT_EQ(store.entries().size(), 15);
    prefs.limit()->setCurrentIndex(0);  // 10
    EXPECT_EQ(store.limit(), 10);
    EXPECT_EQ(store.entries().size(), 10);
    EXPECT_TRUE(alerts.empty());
}
