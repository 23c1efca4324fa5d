#include <gtest/gtest.h>

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <algorithm>
#include <numeric>

#include "annotation/AnnotationToolbar.h"
#include "annotation/SavePanel.h"
#include "annotation/ScreenshotExport.h"
#include "annotation/ToolbarButtons.h"
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
                                            decodeQueue});
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
    std::function<void(std::function<void()>)> decodeQueue;
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

    EXPECT_FALSE(prefs.pointer()->isChecked());  // nothing stored: no pointer in captures
    prefs.copyCloses()->setChecked(false);
    EXPECT_EQ(defaults.boolValue("copyCloses"), false);
    EXPECT_EQ(defaults.boolValue("includePointer", true), false);
    prefs.pointer()->setChecked(true);
    EXPECT_EQ(defaults.boolValue("includePointer"), true);
    EXPECT_TRUE(CapturePreferences::includesPointer(defaults));
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

// The window follows the store while it is open: the recording switch (from the preferences and
// from its own button), new entries, removals and clearing, each decoding only what is new.
TEST_F(HistoryWindowTest, FollowsTheStoreWhileOpen) {
    int decoded = 0;
    decodeQueue = [&](std::function<void()> job) {
        ++decoded;
        job();
    };
    auto window = open();
    CapturePreferencesWindow prefs(defaults, store, [this](const AlertSpec& a) {
        alerts.push_back(a);
        return 0;
    });
    prefs.showWindow();
    EXPECT_EQ(window->statusText(), "0 张 · 未开启记录，可在截图偏好中开启");
    EXPECT_TRUE(window->recordButton()->isVisibleTo(window.get()));

    prefs.history()->setChecked(true);
    EXPECT_EQ(window->statusText(), "0 张 · 正在记录");
    EXPECT_FALSE(window->recordButton()->isVisibleTo(window.get()));
    for (int i = 0; i < 3; ++i) store.record(png(i + 1));
    queue.runPending();
    EXPECT_EQ(window->statusText(), "3 张 · 正在记录");
    EXPECT_EQ(window->entries(), store.entries());
    // The first entry was selected when it came; it stays selected as newer ones come.
    EXPECT_EQ(window->selectedRow(), 2);
    EXPECT_EQ(window->previewImage().size(), QSize(40, 30));
    for (int row = 0; row < 3; ++row) EXPECT_FALSE(window->rowThumbnail(row).isNull()) << row;
    EXPECT_EQ(decoded, 3 + 1);  // three thumbnails, one preview

    store.record(png(4));
    queue.runPending();
    EXPECT_EQ(decoded, 3 + 1 + 1);  // only the new row's thumbnail
    EXPECT_FALSE(window->rowThumbnail(0).isNull());
    EXPECT_EQ(window->selectedRow(), 3);

    const QString selected = window->entries()[3];
    EXPECT_FALSE(store.remove(window->entries()[1]));
    EXPECT_EQ(window->entries(), store.entries());
    ASSERT_TRUE(window->selectedRow());
    EXPECT_EQ(window->entries()[*window->selectedRow()], selected);
    EXPECT_EQ(window->statusText(), "3 张 · 正在记录");
    EXPECT_FALSE(store.remove(selected));
    EXPECT_EQ(window->selectedRow(), 0);  // the newest, as after a deletion in the window
    queue.runPending();
    EXPECT_EQ(window->previewImage().size(), QSize(40, 30));
    EXPECT_FALSE(store.clear());
    EXPECT_TRUE(window->entries().isEmpty());
    EXPECT_EQ(window->statusText(), "0 张 · 正在记录");
    EXPECT_TRUE(window->previewImage().isNull());

    // Off in the preferences, on again with the window's own button: both windows follow.
    prefs.history()->setChecked(false);
    EXPECT_EQ(window->statusText(), "0 张 · 未开启记录，可在截图偏好中开启");
    ASSERT_TRUE(window->recordButton()->isVisibleTo(window.get()));
    window->recordButton()->click();
    EXPECT_TRUE(store.enabled());
    EXPECT_TRUE(prefs.history()->isChecked());
    EXPECT_TRUE(prefs.limitRow()->isEnabled());
    EXPECT_EQ(window->statusText(), "0 张 · 正在记录");
    EXPECT_FALSE(window->recordButton()->isVisibleTo(window.get()));
    EXPECT_TRUE(alerts.empty());
}

// Entries removed by hand, even the whole folder, and files put there by hand: the window
// follows through its folder watch and asks nothing.
TEST_F(HistoryWindowTest, FollowsTheFolderChangedByHand) {
    record(3);
    auto window = open();
    window->show();
    const auto settle = [&](qsizetype rows) {
        QElapsedTimer timer;
        timer.start();
        while (window->entries().size() != rows && timer.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        queue.runPending();
        return window->entries().size() == rows;
    };
    ASSERT_TRUE(QFile::remove(window->entries()[0]));  // the selected one
    ASSERT_TRUE(settle(2));
    EXPECT_EQ(window->entries(), store.entries());
    EXPECT_EQ(window->selectedRow(), 0);
    EXPECT_EQ(window->previewImage().size(), QSize(40, 30));
    EXPECT_EQ(window->statusText(), "2 张 · 正在记录");

    ASSERT_TRUE(QFile::copy(
        window->entries()[0],
        QDir(store.directory()).filePath("00001800000000000000-" + QString(64, 'a') + ".png")));
    ASSERT_TRUE(settle(3));
    EXPECT_EQ(window->entries(), store.entries());
    EXPECT_FALSE(window->rowThumbnail(0).isNull());

    ASSERT_TRUE(QDir(store.directory()).removeRecursively());
    ASSERT_TRUE(settle(0));
    EXPECT_TRUE(window->previewImage().isNull());
    EXPECT_EQ(window->statusText(), "0 张 · 正在记录");

    // Recorded again: the new folder is watched again.
    store.record(png(9));
    ASSERT_EQ(window->entries().size(), 1);
    ASSERT_TRUE(QFile::remove(store.entries()[0]));
    ASSERT_TRUE(settle(0));

    // Deleted in the window after it vanished, before the watch told: no question, no error.
    store.record(png(10));
    window->selectRow(0);
    ASSERT_TRUE(QFile::remove(store.entries()[0]));
    window->deleteImage();
    window->copyImage();
    EXPECT_TRUE(window->entries().isEmpty());
    EXPECT_TRUE(alerts.empty());
}

// Wide and tall entries fit both sides of the preview; small ones keep their size.
TEST_F(HistoryWindowTest, PreviewFitsBothSidesAndNeverEnlarges) {
    struct Case {
        QSize image, windowSize, shown;
    };
    const Case cases[] = {
        {{590, 110}, {800, 500}, {512, 95}},  {{110, 590}, {800, 500}, {70, 380}},
        {{40, 30}, {800, 500}, {40, 30}},     {{512, 380}, {800, 500}, {512, 380}},
        {{590, 110}, {700, 380}, {412, 76}},  {{300, 600}, {700, 380}, {130, 260}},
        {{413, 261}, {700, 380}, {411, 260}},
    };
    store.setEnabled(true);
    auto window = open();
    window->show();
    int seed = 0;
    for (const Case& c : cases) {
        store.record(png(++seed, c.image));
        window->resize(c.windowSize);
        window->selectRow(0);
        queue.runPending();
        ASSERT_EQ(window->previewImage().size(), c.image);
        const QSize area = window->previewArea();
        EXPECT_EQ(window->previewShownSize(), c.shown)
            << c.image.width() << "×" << c.image.height();
        EXPECT_TRUE(window->previewShownSize().width() <= area.width() &&
                    window->previewShownSize().height() <= area.height());
    }
}

// The preferences say what they do: the limit is off while the history is, switching off keeps
// the entries (and says so), and the tools are listed as the toolbar shows them.
TEST_F(HistoryWindowTest, PreferencesExplainThemselves) {
    record(3);
    store.setEnabled(false);
    CapturePreferencesWindow prefs(defaults, store, [this](const AlertSpec& a) {
        alerts.push_back(a);
        return 0;
    });
    prefs.showWindow();
    EXPECT_FALSE(prefs.limitRow()->isEnabled());
    prefs.history()->setChecked(true);
    EXPECT_TRUE(prefs.limitRow()->isEnabled());
    prefs.history()->setChecked(false);
    EXPECT_FALSE(prefs.limitRow()->isEnabled());
    EXPECT_FALSE(store.enabled());
    EXPECT_EQ(store.entries().size(), 3);
    bool told = false;
    for (const QLabel* label : prefs.findChildren<QLabel*>())
        told |= label->text().contains(QStringLiteral("关闭后停止记录，已有的历史保留"));
    EXPECT_TRUE(told);

    AnnotationToolbar toolbar(1600, queue);
    toolbar.show();
    std::vector<int> onScreen(toolbarTools.size());
    std::iota(onScreen.begin(), onScreen.end(), 0);
    std::sort(onScreen.begin(), onScreen.end(), [&](int a, int b) {
        return toolbar.tool(a)->mapTo(&toolbar, QPoint()).x() <
               toolbar.tool(b)->mapTo(&toolbar, QPoint()).x();
    });
    std::vector<int> listed;
    QStringList titles;
    for (int i = 0; i < prefs.tool()->count(); ++i) {
        listed.push_back(prefs.tool()->itemData(i).toInt());
        titles << prefs.tool()->itemText(i);
    }
    EXPECT_EQ(listed, onScreen);
    for (std::size_t i = 0; i < onScreen.size(); ++i)
        EXPECT_EQ(titles[int(i)], toolbar.tool(onScreen[i])->accessibleName());
    // What is stored is still the toolbar index.
    prefs.tool()->setCurrentText(QStringLiteral("圆形"));
    EXPECT_EQ(defaults.numberValue("defaultTool"), 6.0);
    defaults.set("defaultTool", 3);
    prefs.showWindow();
    EXPECT_EQ(prefs.tool()->currentText(), "箭头");
    EXPECT_TRUE(alerts.empty());
}

// The save dialog says where it opens when the pictures folder cannot be used.
TEST(SavePanel, OpensInThePicturesFolderOrSaysWhyNot) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    QDir(dir.path()).mkdir("Pictures");
    QDir(dir.path()).mkdir("home");
    const auto configured = [&](const QString& pictures) {
        auto dialog = std::make_unique<QFileDialog>();
        configureSavePanel(*dialog, defaults, pictures, dir.filePath("home"));
        return dialog;
    };
    auto fine = configured(dir.filePath("Pictures"));
    EXPECT_EQ(fine->directory().absolutePath(), dir.filePath("Pictures"));
    EXPECT_EQ(fine->findChild<QLabel*>("saveFolderNote"), nullptr);

    auto missing = configured(dir.filePath("Bilder"));
    EXPECT_EQ(missing->directory().absolutePath(), dir.filePath("home"));
    const QLabel* note = missing->findChild<QLabel*>("saveFolderNote");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(),
              QStringLiteral("图片文件夹“%1”不存在，已改为主文件夹。").arg(dir.filePath("Bilder")));
    missing->show();
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(missing->rect().contains(note->geometry()));
}
