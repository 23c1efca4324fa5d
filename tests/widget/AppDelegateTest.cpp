#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include "ScriptedAlerts.h"
#include "annotation/AnnotationToolbar.h"
#include "annotation/ToolbarButtons.h"
#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "app/UpdateMenuItems.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "capture/Editor.h"
#include "capture/LastRegion.h"
#include "capture/OverlayWindow.h"
#include "capture/SelectionView.h"
#include "longcapture/LongScreenshotResult.h"
#include "platform/fake/FakePlatform.h"
#include "tools/TextRecognitionWindow.h"

using namespace tessal;

namespace {

bool overlaysVisible(const Editor* editor) {
    if (!editor || editor->overlays().empty()) return false;
    for (const auto& overlay : editor->overlays())
        if (!overlay->isVisible()) return false;
    return true;
}

}  // namespace

class AppDelegateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake.capture->addDisplay("main", Rect(0, 0, 400, 300));
        fake.capture->addDisplay("side", Rect(400, 0, 300, 200), 2.0);
        fake.accessibility->trusted = true;
    }
    void TearDown() override {
        if (app && app->editor()) app->editor()->close();
        app.reset();
        queue.runPending();
    }

    void launch() {
        app = std::make_unique<AppDelegate>(fake.platform, defaults, queue, clock, alerts, 4242);
        app->applicationDidFinishLaunching();
    }

    // Starts a capture and lets the main queue finish it.
    Editor* capture() {
        app->takeScreenshot();
        queue.advance(1.0);
        return app->editor();
    }

    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    FakePlatform fake;
    ManualClock clock;
    ManualMainQueue queue{clock};
    ScriptedAlerts alerts;
    std::unique_ptr<AppDelegate> app;
};

TEST_F(AppDelegateTest, LaunchBuildsTheMenuAndRegistersTheStoredShortcut) {
    CaptureShortcut{0, 4608, "⌃⇧A"}.save(defaults);
    launch();
    QStringList titles;
    for (QAction* a : app->statusMenu()->actions()) titles << (a->isSeparator() ? "-" : a->text());
    // Run outside a bundle, the program has no update channel: its package manager updates it.
    EXPECT_EQ(titles,
              (QStringList{"截图  Ctrl+Shift+A", "延时截图", "重复上次区域", "设置截图快捷键…",
                           "截图偏好…", "截图历史…", "-", "开机启动",
                           "更新由安装本程序的软件包管理器提供", "更新日志", "-", "退出Tessal"}));
    ASSERT_EQ(fake.hotKeys->registered.size(), 1u);
    EXPECT_EQ(fake.hotKeys->registered.begin()->second, std::make_pair(0u, 4608u));
    EXPECT_TRUE(alerts.shown.empty());
    for (QAction* a : app->statusMenu()->actions())
        EXPECT_EQ(a->isEnabled(), a != app->updateMenuItems().unavailable())
            << a->text().toStdString();
}

TEST_F(AppDelegateTest, WithoutSystemShortcutsTheMenuSaysWhatToBind) {
    fake.hotKeys->unavailable =
        "此桌面不提供全局快捷键：请在桌面的键盘设置中为命令 tessal capture 绑定快捷键";
    launch();
    EXPECT_EQ(fake.hotKeys->registerCalls, 0);
    EXPECT_TRUE(alerts.shown.empty()) << "no registration failure to report";
    const QList<QAction*> items = app->statusMenu()->actions();
    // The advice stands right before the item it replaces.
    qsizetype configure = -1;
    for (qsizetype i = 0; i < items.size(); ++i)
        if (items[i]->text() == "设置截图快捷键…") configure = i;
    ASSERT_GT(configure, 0);
    EXPECT_FALSE(items[configure]->isEnabled());
    EXPECT_EQ(items[configure - 1]->text(), fake.hotKeys->unavailable);
    EXPECT_FALSE(items[configure - 1]->isEnabled());
    EXPECT_TRUE(items[0]->isEnabled());
}

TEST_F(AppDelegateTest, ServiceItemsToggleLoginAndUpdatesAndKeepDialogsAwayFromCaptures) {
    launch();
    app->statusMenu()->aboutToShow();
    EXPECT_FALSE(app->loginMenuItem()->isChecked());
    app->loginMenuItem()->trigger();
    app->statusMenu()->aboutToShow();
    EXPECT_TRUE(fake.loginItem->enabled);
    EXPECT_TRUE(app->loginMenuItem()->isChecked());
    // Without a channel there is no setting or check that would do nothing.
    EXPECT_EQ(app->updateMenuItems().automatic(), nullptr);
    EXPECT_EQ(app->updateMenuItems().check(), nullptr);

    for (QAction* a : app->statusMenu()->actions())
        if (a->text() == "更新日志") a->trigger();
    EXPECT_EQ(fake.workspace->opened.value(0).section('/', -1), "changelog.html");
    EXPECT_TRUE(alerts.shown.empty());

    ASSERT_TRUE(app->appServices().canPresent);
    EXPECT_TRUE(app->appServices().canPresent());
    ASSERT_TRUE(capture());
    EXPECT_FALSE(app->appServices().canPresent());
    app->editor()->close();
    queue.runPending();
    EXPECT_TRUE(app->appServices().canPresent());
}

// The update prompt quits with its default button: it waits while a result window (an edited
// long capture that exists nowhere else) or a recognition window is open.
TEST_F(AppDelegateTest, TheUpdatePromptWaitsForWindowsHoldingWork) {
    launch();
    QImage image(300, 900, QImage::Format_RGB32);
    image.fill(Qt::white);
    app->showResult(image, "长截图");
    ASSERT_EQ(app->resultCount(), 1u);
    EXPECT_FALSE(app->appServices().canPresent());
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* result = qobject_cast<LongScreenshotResult*>(window)) result->closeWindow();
    queue.runPending();
    ASSERT_EQ(app->resultCount(), 0u);
    EXPECT_TRUE(app->appServices().canPresent());

    ASSERT_TRUE(app->recognitionWindows().present(image, false, nullptr, nullptr));
    // The recognition runs on its own queue with the fixture's recogniser: it ends here.
    SerialQueue::named("local.ostrel.text-recognition").flush();
    EXPECT_FALSE(app->appServices().canPresent());
    app->recognitionWindows().any()->closeWindow();
    queue.runPending();
    EXPECT_TRUE(app->appServices().canPresent());
}

TEST_F(AppDelegateTest, SettingsThatCannotBeWrittenAreReportedOnce) {
    // A folder where the settings file should be: every replacement fails.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("defaults.json")));
    fake.accessibility->trusted = false;
    launch();
    alerts.answers = {1};
    capture();  // the guide stores that it was shown
    app->editor()->close();
    queue.runPending();
    CaptureShortcut{0, 4608, "⌃⇧A"}.save(defaults);
    queue.runPending();
    std::vector<QString> failures;
    for (const AlertSpec& a : alerts.shown)
        if (a.message == "无法保存设置") failures.push_back(a.informative);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(failures[0].contains("同名的文件夹已存在")) << failures[0].toStdString();
    EXPECT_EQ(defaults.boolValue("childRegionPermissionGuideShown"), true);  // kept in memory
}

TEST_F(AppDelegateTest, RefusedShortcutAtLaunchIsReportedAndCaptureStillWorks) {
    fake.hotKeys->refused.insert({18, 4096});
    launch();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "Tessal");
    EXPECT_EQ(alerts.shown[0].informative,
              "快捷键 Ctrl+1 "
              "注册失败，可能已被其他应用或系统占用。可从菜单栏设置其他快捷键，或点击截图。");
    app->captureMenuItem()->trigger();
    queue.advance(1.0);
    EXPECT_NE(app->editor(), nullptr);
}

TEST_F(AppDelegateTest, HotKeyOnlySchedulesTheCapture) {
    launch();
    fake.hotKeys->press(fake.hotKeys->registered.begin()->first);
    EXPECT_FALSE(app->capturing());
    EXPECT_EQ(fake.capture->screenshotCount, 0);
    queue.advance(1.0);
    ASSERT_NE(app->editor(), nullptr);
    EXPECT_EQ(app->editor()->rootCount(), 2u);
    EXPECT_EQ(app->editor()->model(1).snapshot().image.size(), QSize(600, 400));
    EXPECT_TRUE(overlaysVisible(app->editor()));
}

TEST_F(AppDelegateTest, GuardsKeepOneCaptureAtATime) {
    launch();
    // A capture in progress: a second request does nothing, and the keys typed after it are
    // left waiting for that capture.
    app->takeScreenshot();
    EXPECT_TRUE(app->capturing());
    app->takeScreenshot();
    queue.advance(1.0);
    EXPECT_EQ(fake.capture->screenshotCount, 2);  // two displays, one capture
    EXPECT_FALSE(app->capturing());
    EXPECT_EQ(fake.hotKeys->releasedHolds, 0);

    // A saving editor stays as it is; no capture comes for the keys, so they are let go.
    Editor* first = app->editor();
    first->isSaving = true;
    app->takeScreenshot();
    queue.advance(1.0);
    EXPECT_EQ(app->editor(), first);
    EXPECT_TRUE(overlaysVisible(first));
    EXPECT_EQ(fake.hotKeys->releasedHolds, 1);
    first->isSaving = false;

    // So does the shortcut dialog while it is open.
    bool triedDuringDialog = false;
    app->runShortcutDialog = [&](const CaptureShortcut& current) {
        app->takeScreenshot();
        triedDuringDialog = !app->capturing();
        return ShortcutDialog::Outcome{ShortcutDialog::Choice::cancel, current};
    };
    app->configureShortcut();
    EXPECT_TRUE(triedDuringDialog);
    EXPECT_EQ(fake.capture->screenshotCount, 2);
    EXPECT_EQ(fake.hotKeys->releasedHolds, 2);
}

TEST_F(AppDelegateTest, ALongCaptureTakesOverTheSessionAndBlocksCapturesUntilItCloses) {
    launch();
    fake.capture->windows = {QVariantMap{
        {"number", 9u},
        {"pid", 600},
        {"layer", 0},
        {"bounds", QVariantMap{{"x", 10}, {"y", 10}, {"width", 300}, {"height", 250}}}}};
    app->takeScreenshot();
    queue.advance(1.0);
    Editor* editor = app->editor();
    ASSERT_NE(editor, nullptr);
    editor->select(Rect(50, 50, 200, 150), 0);
    editor->toolbar()->action(ToolbarActionId::longCapture)->click();
    ASSERT_NE(app->longScreenshot(), nullptr);
    EXPECT_TRUE(editor->closed());
    EXPECT_FALSE(app->startLongCapture(Rect(0, 0, 400, 300), Rect(50, 50, 200, 150)));
    queue.runPending();  // started on the next turn: the source window is found
    EXPECT_EQ(app->longScreenshot()->sourceWindowID(), 9u);
    const int shots = fake.capture->screenshotCount;
    app->takeScreenshot();
    queue.advance(1.0);
    EXPECT_EQ(fake.capture->screenshotCount, shots);
    EXPECT_EQ(fake.hotKeys->releasedHolds, 1);  // the long capture's window takes keys

    app->longScreenshot()->close();
    queue.runPending();
    EXPECT_EQ(app->longScreenshot(), nullptr);
    app->takeScreenshot();
    queue.advance(1.0);
    EXPECT_GT(fake.capture->screenshotCount, shots);
}

TEST_F(AppDelegateTest, NewCaptureReplacesTheEditorAndALateCloseKeepsTheNewOne) {
    launch();
    Editor* first = capture();
    ASSERT_NE(first, nullptr);
    app->takeScreenshot();
    // The old session disappears while the screen is read.
    EXPECT_FALSE(overlaysVisible(first));
    queue.advance(1.0);
    Editor* second = app->editor();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    queue.advance(1.0);  // the replaced editor's close notification arrives late
    EXPECT_EQ(app->editor(), second);

    second->close();
    EXPECT_EQ(app->editor(), second);  // dropped on a later turn, not inside its own close
    queue.runPending();
    EXPECT_EQ(app->editor(), nullptr);
}

TEST_F(AppDelegateTest, FailedCaptureBringsThePreviousEditorBack) {
    launch();
    Editor* first = capture();
    fake.capture->screenshotError = UserError{"Ostrel", 3, "无法读取屏幕内容"};
    capture();
    EXPECT_EQ(app->editor(), first);
    EXPECT_TRUE(overlaysVisible(first));
    EXPECT_FALSE(app->capturing());
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "无法截取屏幕");
    EXPECT_TRUE(alerts.shown[0].informative.startsWith("无法读取屏幕内容\n"));
    EXPECT_TRUE(fake.workspace->opened.isEmpty());
}

// While the desktop asks the user whether Tessal may take screenshots, a note says what its
// dialog is for; Escape or the note's button withdraws the request: no alert, no overlay, and
// the capture counts as cancelled. Answered, the capture opens and the note goes.
TEST_F(AppDelegateTest, ANoteExplainsTheDesktopsQuestionAndCancelsIt) {
    launch();
    int cancelledCaptures = 0;
    app->onCaptureCancelled = [&] { ++cancelledCaptures; };
    const auto note = []() -> QWidget* {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "screenAccessNote" && w->isVisible()) return w;
        return nullptr;
    };
    struct Case {
        const char* name;
        std::function<void(QWidget*)> user;
        bool cancelled;
    };
    const Case cases[] = {
        {"Escape",
         [](QWidget* w) {
             QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(w, &press);
         },
         true},
        {"the note's button", [](QWidget* w) { w->findChild<QPushButton*>()->click(); }, true},
        {"the note closed", [](QWidget* w) { w->close(); }, true},
        {"the user answers the desktop", [](QWidget*) {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int cancelsBefore = fake.capture->cancels;
        bool noteShown = false;
        fake.capture->whileAwaiting = [&] {
            QWidget* shown = note();
            ASSERT_NE(shown, nullptr);
            noteShown = true;
            EXPECT_TRUE(shown->findChild<QLabel*>()->text().contains("选择“允许”"));
            c.user(shown);
        };
        Editor* editor = capture();
        EXPECT_TRUE(noteShown);
        EXPECT_EQ(note(), nullptr) << "the note outlived the wait";
        EXPECT_EQ(fake.capture->cancels - cancelsBefore, c.cancelled ? 1 : 0);
        EXPECT_EQ(editor != nullptr, !c.cancelled);
        EXPECT_EQ(cancelledCaptures, c.cancelled ? 1 : 0);
        EXPECT_TRUE(alerts.shown.empty());
        EXPECT_FALSE(app->capturing());
        if (editor) editor->close();
        queue.runPending();
        cancelledCaptures = 0;
    }
}

// The displays are frozen on screen before they are read, and the still goes once every overlay
// has painted its first frame, when the capture fails, or after a second at most.
TEST_F(AppDelegateTest, TheFrozenStillLastsUntilTheOverlaysArePainted) {
    launch();
    app->takeScreenshot();
    queue.advance(0.01);
    Editor* editor = app->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(fake.capture->freezes, 1);
    EXPECT_EQ(fake.capture->screenshotsWhileFrozen, 2);
    editor->root(0).grab();
    queue.runPending();
    EXPECT_TRUE(fake.capture->frozen) << "the second display's overlay has not been painted";
    editor->root(1).grab();
    EXPECT_TRUE(fake.capture->frozen) << "lifted only after the frame went to the screen";
    queue.runPending();
    EXPECT_FALSE(fake.capture->frozen);

    // Overlays that never paint.
    app->takeScreenshot();
    queue.advance(0.9);
    EXPECT_TRUE(fake.capture->frozen);
    queue.advance(0.2);
    EXPECT_FALSE(fake.capture->frozen);

    // A session closed before it was painted.
    app->takeScreenshot();
    queue.advance(0.01);
    app->editor()->close();
    queue.runPending();
    EXPECT_FALSE(fake.capture->frozen);

    fake.capture->screenshotError = UserError{"Ostrel", 3, "无法读取屏幕内容"};
    app->takeScreenshot();
    queue.advance(0.01);
    EXPECT_EQ(fake.capture->freezes, 4);
    EXPECT_FALSE(fake.capture->frozen);
    EXPECT_EQ(alerts.shown.size(), 1u);
}

// A closed session's late clean-up leaves the next capture alone while it waits for our windows
// to leave the screen: on X11 the release would also let go of the keys typed for that capture.
TEST_F(AppDelegateTest, AClosedSessionsLateReleaseLeavesTheNextCaptureAlone) {
    launch();
    app->takeScreenshot();
    queue.advance(0.01);
    ASSERT_NE(app->editor(), nullptr);  // its overlays never paint: a release is due at 1 s
    app->editor()->close();
    queue.advance(0.3);
    // A pin of ours is hidden first, and its frame stays listed for a while.
    QImage pinned(40, 30, QImage::Format_ARGB32_Premultiplied);
    pinned.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    pinned.save(&buffer, "PNG");
    ASSERT_TRUE(app->showPin({png, pinned}, std::nullopt));
    const int released = fake.capture->releases;
    fake.capture->windows = {QVariantMap{
        {WindowKey::number, 7u},
        {WindowKey::pid, 4242},
        {WindowKey::bounds, QVariantMap{{"x", 100}, {"y", 100}, {"width", 200}, {"height", 80}}}}};
    app->takeScreenshot();
    queue.advance(0.8);
    EXPECT_TRUE(app->capturing());
    EXPECT_EQ(fake.capture->releases, released);
    fake.capture->windows.clear();
    queue.advance(0.5);
    ASSERT_NE(app->editor(), nullptr);
    EXPECT_EQ(fake.capture->freezes, 2);
}

TEST_F(AppDelegateTest, AccessibilityGuideIsShownOnceAndCanStopTheCapture) {
    fake.accessibility->trusted = false;
    launch();
    alerts.answers = {1};  // "先截图"
    // The guide answers to the keyboard: keys held for the capture are let go before it shows,
    // and again when the shortcut is pressed while it waits.
    int releasedBefore = -1;
    alerts.whileShown = [&] {
        releasedBefore = fake.hotKeys->releasedHolds;
        app->takeScreenshot();
    };
    EXPECT_NE(capture(), nullptr);
    alerts.whileShown = nullptr;
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(releasedBefore, 1);
    EXPECT_EQ(fake.hotKeys->releasedHolds, 2);
    EXPECT_EQ(alerts.shown[0].message, "增强自动选区识别");
    EXPECT_TRUE(alerts.shown[0].informative.contains("再按 Ctrl+1。"));
    EXPECT_EQ(defaults.boolValue("childRegionPermissionGuideShown"), true);
    capture();
    EXPECT_EQ(alerts.shown.size(), 1u);

    // "去开启" ends the request without a capture and closes the open session.
    defaults.set("childRegionPermissionGuideShown", false);
    const int before = fake.capture->screenshotCount;
    alerts.answers = {0};
    capture();
    EXPECT_EQ(fake.capture->screenshotCount, before);
    EXPECT_EQ(app->editor(), nullptr);
    EXPECT_FALSE(app->capturing());
    EXPECT_EQ(fake.accessibility->requests, 1);
    EXPECT_EQ(fake.workspace->settingsOpened, 1);
}

// The guide (or any window of ours hidden for the capture) must be off the screen before the
// displays freeze: while the window manager still lists its frame the capture waits, then leaves
// the windows beneath time to repaint; a frame that never goes delays it by a second at most.
TEST_F(AppDelegateTest, TheDisplaysFreezeOnlyOnceOurWindowsHaveLeftTheScreen) {
    fake.accessibility->trusted = false;
    const QVariantMap guideFrame{
        {WindowKey::number, 7u},
        {WindowKey::pid, 4242},
        {WindowKey::bounds, QVariantMap{{"x", 100}, {"y", 100}, {"width", 200}, {"height", 120}}}};
    const QVariantMap otherWindow{{WindowKey::number, 8u}, {WindowKey::pid, 99}};
    fake.capture->windows = {guideFrame, otherWindow};
    launch();
    alerts.answers = {1};  // "先截图"
    app->takeScreenshot();
    queue.advance(0.3);
    EXPECT_EQ(fake.capture->freezes, 0) << "frozen while the guide's frame is listed";
    EXPECT_TRUE(app->capturing());
    fake.capture->windows = {otherWindow};
    queue.advance(0.05);
    EXPECT_EQ(fake.capture->freezes, 0) << "frozen before the windows beneath repainted";
    queue.advance(0.15);
    EXPECT_EQ(fake.capture->freezes, 1);
    ASSERT_NE(app->editor(), nullptr);
    app->editor()->close();

    // Nothing of ours on screen: at once.
    app->takeScreenshot();
    queue.runPending();
    EXPECT_EQ(fake.capture->freezes, 2);
    app->editor()->close();

    // A frame the window manager never lets go of.
    defaults.set("childRegionPermissionGuideShown", false);
    fake.capture->windows = {guideFrame};
    alerts.answers = {1};
    app->takeScreenshot();
    queue.advance(0.9);
    EXPECT_EQ(fake.capture->freezes, 2);
    queue.advance(0.4);
    EXPECT_EQ(fake.capture->freezes, 3);
}

// A later start of the program says that Tessal runs and how to capture; where no notification
// can be shown it hands the reason back for the terminal.
TEST_F(AppDelegateTest, ALaterStartIsAnsweredWithANotification) {
    launch();
    EXPECT_EQ(app->announceRunning(), std::nullopt);
    ASSERT_EQ(fake.workspace->notifications.size(), 1);
    EXPECT_EQ(fake.workspace->notifications[0][0], "Tessal 正在运行");
    EXPECT_TRUE(fake.workspace->notifications[0][1].startsWith("按 Ctrl+1 截图"))
        << fake.workspace->notifications[0][1].toStdString();

    // Without a registered shortcut the command is the way to capture.
    app.reset();
    const CaptureShortcut standard = CaptureShortcut::defaultShortcut();
    fake.hotKeys->refused.insert({standard.keyCode, standard.modifiers});
    launch();
    fake.workspace->notifications.clear();
    app->announceRunning();
    ASSERT_EQ(fake.workspace->notifications.size(), 1);
    EXPECT_TRUE(fake.workspace->notifications[0][1].startsWith("运行 tessal capture 截图"));

    fake.workspace->notifyFailure = QString("no notification service");
    EXPECT_EQ(app->announceRunning(), std::optional<QString>("no notification service"));
}

// "延时截图": the tray counts the seconds down, the displays freeze only at zero; the wait can be
// cancelled from the menu, and a capture asked for meanwhile ends it and starts at once.
TEST_F(AppDelegateTest, ADelayedCaptureCountsDownInTheTrayAndCanBeCancelled) {
    launch();
    QMenu* delays = app->delayMenu();
    ASSERT_NE(delays, nullptr);
    QStringList titles;
    for (QAction* a : delays->actions()) titles << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(titles, (QStringList{"3 秒", "5 秒", "10 秒", "-", "取消延时截图"}));
    QAction* cancel = delays->actions().last();
    EXPECT_FALSE(cancel->isEnabled());

    delays->actions()[0]->trigger();
    EXPECT_TRUE(cancel->isEnabled());
    queue.advance(2.9);
    EXPECT_EQ(fake.capture->freezes, 0);
    EXPECT_EQ(app->editor(), nullptr);
    queue.advance(0.2);
    EXPECT_EQ(fake.capture->freezes, 1) << "frozen at zero";
    EXPECT_FALSE(cancel->isEnabled());
    ASSERT_NE(app->editor(), nullptr);
    app->editor()->close();

    // Cancelled from the menu.
    delays->actions()[1]->trigger();
    queue.advance(2);
    cancel->trigger();
    EXPECT_FALSE(cancel->isEnabled());
    queue.advance(10);
    EXPECT_EQ(fake.capture->freezes, 1);

    // The shortcut during the wait: the capture now, and none when the wait would have ended.
    EXPECT_TRUE(app->takeScreenshotAfter(2.5));
    queue.advance(1);
    app->takeScreenshot();
    queue.runPending();
    EXPECT_EQ(fake.capture->freezes, 2);
    app->editor()->close();
    queue.advance(5);
    EXPECT_EQ(fake.capture->freezes, 2);

    EXPECT_FALSE(app->takeScreenshotAfter(-1));
    EXPECT_FALSE(app->takeScreenshotAfter(61));
}

// "重复上次区域": the region copied last opens selected in the next capture, and says why not
// when the displays have changed.
TEST_F(AppDelegateTest, TheLastRegionOpensSelectedOrSaysWhyNot) {
    launch();
    EXPECT_FALSE(app->captureLastRegion());
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "无法重复上次区域");
    EXPECT_EQ(fake.capture->freezes, 0);

    Editor* editor = capture();
    ASSERT_NE(editor, nullptr);
    editor->select(Rect(40, 30, 120, 80), 1);  // on the second display
    editor->copyImage();
    // The overlays' leaving goes to the display server at once; the settings are written after.
    EXPECT_EQ(fake.workspace->windowChangesSent, 1);
    EXPECT_FALSE(defaults.contains(LastRegion::key));
    queue.runPending();
    EXPECT_TRUE(defaults.contains(LastRegion::key));

    EXPECT_TRUE(app->captureLastRegion());
    queue.advance(1.0);
    ASSERT_NE(app->editor(), nullptr);
    EXPECT_EQ(app->editor()->selectedRoot(), 1);
    const SelectionViewModel& model = app->editor()->model(1);
    ASSERT_TRUE(model.selection());
    EXPECT_EQ(*model.selection(), Rect(40, 30, 120, 80));
    app->editor()->close();

    fake.capture->displayList.back().frame = Rect(400, 0, 100, 100);  // the second display shrank
    EXPECT_FALSE(app->captureLastRegion());
    EXPECT_EQ(alerts.shown.size(), 2u);
}

TEST_F(AppDelegateTest, ConfiguringTheShortcutKeepsTheOldOneWhenRefused) {
    launch();
    const int oldReference = fake.hotKeys->registered.begin()->first;
    const CaptureShortcut wanted{0, 4608, "⌃⇧A"};
    auto answer = [&](ShortcutDialog::Choice choice, CaptureShortcut candidate) {
        app->runShortcutDialog = [=](const CaptureShortcut&) {
            return ShortcutDialog::Outcome{choice, candidate};
        };
        app->configureShortcut();
    };

    fake.hotKeys->refused.insert({0, 4608});
    answer(ShortcutDialog::Choice::save, wanted);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].informative,
              "无法注册 Ctrl+Shift+A，请换一个组合键。原快捷键保持不变。");
    EXPECT_TRUE(fake.hotKeys->registered.count(oldReference));
    EXPECT_EQ(app->shortcut(), CaptureShortcut::defaultShortcut());
    EXPECT_FALSE(defaults.contains("captureShortcutLabel"));
    EXPECT_EQ(app->captureMenuItem()->text(), "截图  Ctrl+1");

    fake.hotKeys->refused.clear();
    answer(ShortcutDialog::Choice::save, wanted);
    EXPECT_EQ(app->shortcut(), wanted);
    EXPECT_FALSE(fake.hotKeys->registered.count(oldReference));
    EXPECT_EQ(fake.hotKeys->registered.size(), 1u);
    EXPECT_EQ(CaptureShortcut::load(defaults), wanted);
    EXPECT_EQ(app->captureMenuItem()->text(), "截图  Ctrl+Shift+A");

    // Cancel changes nothing; restoring the default registers Ctrl+1 again.
    answer(ShortcutDialog::Choice::cancel, CaptureShortcut{1, 4096, "⌃S"});
    EXPECT_EQ(app->shortcut(), wanted);
    answer(ShortcutDialog::Choice::restoreDefault, wanted);
    EXPECT_EQ(app->shortcut(), CaptureShortcut::defaultShortcut());
    EXPECT_EQ(defaults.stringValue("captureShortcutLabel"), QString("⌃1"));

    // Saving the shortcut that is already active touches nothing but rewrites the keys.
    const int calls = fake.hotKeys->registerCalls;
    defaults.remove("captureShortcutLabel");
    answer(ShortcutDialog::Choice::restoreDefault, wanted);
    EXPECT_EQ(fake.hotKeys->registerCalls, calls);
    EXPECT_EQ(defaults.stringValue("captureShortcutLabel"), QString("⌃1"));
    EXPECT_FALSE(app->configuring());
}

TEST(PinPlacement, CentredAndFittedWithoutAFrame) {
    const Rect frame = AppDelegate::pinFrame(QSize(4000, 3000), Rect(0, 0, 1440, 900));
    EXPECT_NEAR(frame.width(), 720, 1e-9);  // scale min(0.216, 0.18, 1) = 0.18
    EXPECT_NEAR(frame.height(), 540, 1e-9);
    EXPECT_NEAR(frame.midX(), 720, 1e-9);
    EXPECT_NEAR(frame.midY(), 450, 1e-9);

    // Small images keep one pixel per point; no display means a 1000 × 700 area at the origin.
    EXPECT_EQ(AppDelegate::pinFrame(QSize(200, 100), std::nullopt), Rect(400, 300, 200, 100));
}

TEST_F(AppDelegateTest, PinningRefusesWhatIsNotAnImage) {
    launch();
    EXPECT_FALSE(app->showPin({"not a png", QImage()}, std::nullopt));
}

// `tessal capture --region … [--accept-on-select]`: the capture opens with the region selected
// (cut to its display) or says why not; the first selection completed afterwards (drawn, or the
// given one moved or resized) is copied as Return would, and only in that capture.
TEST_F(AppDelegateTest, ACaptureOpensWithAGivenRegionAndCanTakeTheFirstSelection) {
    launch();
    struct Refusal {
        int display;
        Rect region;
        QString why;
    };
    const Refusal refusals[] = {
        {1, Rect(300, 10, 50, 50), "这个区域不在显示器 1 上"},
        {0, Rect(-80, 10, 50, 50), "这个区域不在显示器 0 上"},
        {2, Rect(10, 10, 50, 50), "没有序号为 2 的显示器（显示器共 2 个）"},
        {-1, Rect(10, 10, 50, 50), "没有序号为 -1 的显示器（显示器共 2 个）"},
    };
    for (const Refusal& r : refusals) {
        alerts.shown.clear();
        EXPECT_FALSE(app->captureSelecting(r.display, r.region, false, 0));
        ASSERT_EQ(alerts.shown.size(), 1u);
        EXPECT_EQ(alerts.shown[0].message, "无法选中这个区域");
        EXPECT_EQ(alerts.shown[0].informative, r.why);
    }
    EXPECT_EQ(fake.capture->freezes, 0);

    // Partly off the second display (300 × 200): cut to it.
    EXPECT_TRUE(app->captureSelecting(1, Rect(250, 150, 100, 100), false, 0));
    queue.advance(1.0);
    ASSERT_NE(app->editor(), nullptr);
    EXPECT_EQ(app->editor()->selectedRoot(), 1);
    EXPECT_EQ(app->editor()->model(1).selection(), Rect(250, 150, 50, 50));
    EXPECT_TRUE(fake.pasteboard->png.isEmpty()) << "opened selected, not taken";
    app->editor()->close();
    queue.runPending();

    // The given region, moved: its first adjustment taken.
    EXPECT_TRUE(app->captureSelecting(0, Rect(10, 20, 60, 40), true, 0));
    queue.advance(1.0);
    ASSERT_NE(app->editor(), nullptr);
    ASSERT_NE(app->editor()->chrome(), nullptr);
    EXPECT_TRUE(fake.pasteboard->png.isEmpty());
    app->editor()->chrome()->onAdjustingChanged(true);
    EXPECT_TRUE(fake.pasteboard->png.isEmpty()) << "taken before the drag ended";
    app->editor()->chrome()->onAdjustingChanged(false);
    EXPECT_EQ(QImage::fromData(fake.pasteboard->png).size(), QSize(60, 40));
    queue.runPending();

    // No region: the first selection drawn is taken; the next capture is an ordinary one.
    fake.pasteboard->png.clear();
    EXPECT_TRUE(app->captureSelecting(0, std::nullopt, true, 0));
    queue.advance(1.0);
    ASSERT_NE(app->editor(), nullptr);
    EXPECT_EQ(app->editor()->selectedRoot(), -1);
    app->editor()->model(0).onSelect(Rect(5, 5, 30, 20));
    EXPECT_EQ(QImage::fromData(fake.pasteboard->png).size(), QSize(30, 20));
    queue.runPending();
    fake.pasteboard->png.clear();
    Editor* plain = capture();
    ASSERT_NE(plain, nullptr);
    plain->model(0).onSelect(Rect(5, 5, 30, 20));
    EXPECT_TRUE(fake.pasteboard->png.isEmpty());
    plain->close();
    queue.runPending();

    // After a delay; a countdown cancelled drops the region and the acceptance with it.
    EXPECT_TRUE(app->captureSelecting(0, Rect(10, 20, 60, 40), true, 2));
    queue.advance(1.0);
    EXPECT_EQ(app->editor(), nullptr);
    queue.advance(1.5);
    ASSERT_NE(app->editor(), nullptr);
    EXPECT_EQ(app->editor()->model(0).selection(), Rect(10, 20, 60, 40));
    app->editor()->close();
    queue.runPending();
    EXPECT_TRUE(app->captureSelecting(0, Rect(10, 20, 60, 40), true, 2));
    EXPECT_TRUE(app->cancelDelayedScreenshot());
    Editor* after = capture();
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->selectedRoot(), -1);
    after->model(0).onSelect(Rect(5, 5, 30, 20));
    EXPECT_TRUE(fake.pasteboard->png.isEmpty());
}
