#include "AppDelegate.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <algorithm>

#include "AlertPresenter.h"
#include "AppServices.h"
#include "CapturePreferencesWindow.h"
#include "Resources.h"
#include "ScreenAccessNote.h"
#include "UpdateMenuItems.h"
#include "annotation/SavePanel.h"
#include "annotation/ScreenshotExport.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "base/QtGeometry.h"
#include "base/SerialQueue.h"
#include "capture/Editor.h"
#include "capture/LastRegion.h"
#include "capture/OverlayWindow.h"
#include "capture/ScreenCapture.h"
#include "capture/ScreenCaptureFailure.h"
#include "capture/SelectionChrome.h"
#include "capture/SelectionView.h"
#include "imaging/PngEncoder.h"
#include "longcapture/LongCaptureTrimDialog.h"
#include "longcapture/LongScreenshotResult.h"
#include "platform/Platform.h"
#include "regions/ChildRegionPermissionGuide.h"
#include "regions/ChildRegionResolver.h"
#include "services/LegacyApplicationNotice.h"
#include "services/UpdateSource.h"
#include "tools/PinnedImage.h"
#include "tools/ScreenshotHistoryWindow.h"
#include "tools/TextRecognitionWindow.h"

namespace tessal {
namespace {

// After hiding windows of our own (the one-time guide included) the screen is read only once it
// shows what they covered: their frames gone, which the window manager decides on its own time,
// then a moment for the windows beneath to repaint and for a compositor's closing animation.
constexpr double kLeaveCheckInterval = 0.02;
constexpr double kLeaveLimit = 1.0;
// Each look at the area reads the screens whole: less often than the window list.
constexpr double kRecallCheckInterval = 0.05;
// A delayed capture is usually for an open menu, which holds the keyboard and the pointer until
// the user clicks: the overlay waits for them this many times 25 ms.
constexpr int kDelayedInputAttempts = 400;
// The longest a frozen still may stay up when the overlays do not say they were painted.
constexpr double kFrozenDisplaysLimit = 1.0;

QString captureTitle(const CaptureShortcut& shortcut) {
    return QCoreApplication::translate("AppDelegate", "截图  %1").arg(shortcut.text());
}

}  // namespace

AppDelegate::AppDelegate(Platform& platform, DefaultsStore& defaults, MainQueue& mainQueue,
                         const Clock& clock, AlertPresenter& alerts, int ownPid)
    : platform_(platform),
      defaults_(defaults),
      mainQueue_(mainQueue),
      clock_(clock),
      alerts_(alerts),
      ownPid_(ownPid),
      history_(ScreenshotHistory::standardDirectory(), defaults,
               ScreenshotHistory::standardMaximumBytes,
               ScreenshotHistory::standardThumbnailDirectory()),
      recognitionWindows_(std::make_unique<TextRecognitionWindows>(
          TextRecognitionEnvironment{mainQueue, *platform.pasteboard, platform.textRecognizer.get(),
                                     SerialQueue::submitter("local.ostrel.text-recognition")})) {
    // The list picture of a new entry is made right away, off the main thread, so the history
    // window shows it at once later.
    history_.onRecorded = [this](const QString& entry) {
        SerialQueue::named("local.ostrel.history-thumbnails").async([this, entry] {
            history_.listThumbnail(entry);
        });
    };
    runShortcutDialog = [](const CaptureShortcut& current) {
        ShortcutDialog dialog(current);
        return dialog.run();
    };
    chooseSavePath = [this] { return runSavePanel(defaults_, platform_.fileChooser.get()); };
    if (platform_.windowStreams) platform_.windowStreams->useDefaults(defaults_);

    const BundleInfo bundle = BundleInfo::running();
    updateSource_ = std::make_unique<ReleaseUpdateSource>(
        UpdateConfiguration::standard(), bundle.bundle, QCoreApplication::applicationFilePath());
    appServices_ = std::make_unique<AppServices>(AppServicesEnvironment{
        defaults_, mainQueue_, alerts_, *platform_.workspace, *platform_.loginItem, *updateSource_,
        [this] { visibility_.activate(); }, [] { QCoreApplication::quit(); }, bundle.version,
        bundle.appName, bundle.channelEnabled, bundle.bundle, systemVersion(),
        LegacyApplicationNotice::searchedDirectories()});
    // The desktop may ask the user before a capture (GNOME, the first time): the note says
    // what its dialog is for, and cancels.
    platform_.capture->onAwaitingUser = [this](bool awaiting) {
        accessNote_.reset();
        if (!awaiting) return;
        accessNote_ =
            std::make_unique<ScreenAccessNote>([this] { platform_.capture->cancelAwaitingUser(); });
        accessNote_->show();
    };
}

AppDelegate::~AppDelegate() {
    *alive_ = false;
    for (auto& [id, pin] : pinnedImages_) pin->onClose = nullptr;
    for (auto& [id, result] : longResults_) result->onClose = nullptr;
    if (longScreenshot_) longScreenshot_->onClose = nullptr;
    if (platform_.hotKeys) platform_.hotKeys->onPressed = nullptr;
    if (platform_.capture) platform_.capture->onAwaitingUser = nullptr;
    if (editor_) editor_->onClose = nullptr;
    delete menu_;
}

void AppDelegate::applicationDidFinishLaunching() {
    shortcut_ = CaptureShortcut::load(defaults_);
    noHotKeys_ = platform_.hotKeys->unavailableReason();
    // The shortcut is taken before the tray icon is offered: once the icon is there, it works.
    const bool registered = !noHotKeys_.isEmpty() || registerShortcut(shortcut_);
    buildStatusMenu();

    // The hot key only schedules the capture; the press handler itself never captures.
    std::weak_ptr<bool> alive = alive_;
    platform_.hotKeys->onPressed = [this, alive](int) {
        mainQueue_.async([this, alive] {
            if (!alive.expired()) takeScreenshot();
        });
    };
    // The first capture should be as quick as the rest: what the display server is asked once,
    // and what the overlay loads once (its fonts, the CJK face among them, and styles: about
    // 30 ms), is done while the program is idle, not while the user waits.
    mainQueue_.after(0.5, [this, alive] {
        if (alive.expired()) return;
        platform_.capture->warmUp();
        SelectionView::warmUp(mainQueue_, clock_);
    });
    // A settings file that cannot be written is told once; the program goes on with the
    // changes in memory.
    defaults_.onWriteFailure = [this, alive](const QString& reason) {
        mainQueue_.async([this, alive, reason] {
            if (!alive.expired()) showSettingsWriteFailure(reason);
        });
    };
    if (defaults_.keepsDamagedFile())
        mainQueue_.async([this, alive] {
            if (!alive.expired())
                showSettingsWriteFailure(QCoreApplication::translate(
                    "AppDelegate", "原设置文件已损坏且无法移到一旁，已原样保留"));
        });
    if (!registered) {
        visibility_.activate();
        alerts_.run(
            AlertSpec{QStringLiteral("Tessal"),
                      QCoreApplication::translate("AppDelegate",
                                                  "快捷键 %1 注册失败，可能已被其他应用或系统占"
                                                  "用。可从菜单栏设置其他快捷键，或点击截图。")
                          .arg(shortcut_.text()),
                      {QCoreApplication::translate("AppDelegate", "知道了")}}
                .failure());
    }
}

void AppDelegate::buildStatusMenu() {
    menu_ = new QMenu;
    captureMenuItem_ =
        menu_->addAction(captureTitle(shortcut_), this, [this] { takeScreenshot(); });
    delayMenu_ = menu_->addMenu(QCoreApplication::translate("AppDelegate", "延时截图"));
    for (const int seconds : {3, 5, 10})
        delayMenu_->addAction(QCoreApplication::translate("AppDelegate", "%1 秒").arg(seconds),
                              this, [this, seconds] { takeScreenshotAfter(seconds); });
    delayMenu_->addSeparator();
    cancelDelayItem_ =
        delayMenu_->addAction(QCoreApplication::translate("AppDelegate", "取消延时截图"), this,
                              [this] { cancelDelayedScreenshot(); });
    cancelDelayItem_->setEnabled(false);
    menu_->addAction(QCoreApplication::translate("AppDelegate", "重复上次区域"), this,
                     [this] { captureLastRegion(); });
    QAction* configure =
        menu_->addAction(QCoreApplication::translate("AppDelegate", "设置截图快捷键…"), this,
                         [this] { configureShortcut(); });
    if (!noHotKeys_.isEmpty()) {
        // No system-wide shortcuts on this desktop: say how to get one instead.
        configure->setEnabled(false);
        auto* advice = new QAction(noHotKeys_, menu_);
        advice->setEnabled(false);
        menu_->insertAction(configure, advice);
    }
    menu_->addAction(QCoreApplication::translate("AppDelegate", "截图偏好…"), this,
                     [this] { showPreferences(); });
    menu_->addAction(QCoreApplication::translate("AppDelegate", "截图历史…"), this,
                     [this] { showHistory(); });
    menu_->addSeparator();
    loginMenuItem_ = menu_->addAction(QCoreApplication::translate("AppDelegate", "开机启动"), this,
                                      [this] { appServices_->toggleLoginItem(); });
    loginMenuItem_->setCheckable(true);
    updateItems_ = std::make_unique<UpdateMenuItems>(*menu_, *appServices_, defaults_, [this] {
        platform_.workspace->openAddress(appServices_->changelog());
    });
    connect(menu_, &QMenu::aboutToShow, this, [this] { refreshStatusMenu(); });
    refreshStatusMenu();
    std::weak_ptr<bool> alive = alive_;
    // The update prompt quits with its default button: never over a window whose work would
    // go with it (an edited result, recognised text).
    appServices_->canPresent = [this, alive] {
        return !alive.expired() && !capturing_ && !configuring_ && !editor_ && !longScreenshot_ &&
               longResults_.empty() && recognitionWindows_->count() == 0;
    };
    appServices_->start();
    menu_->addSeparator();
    QAction* quit = menu_->addAction(QCoreApplication::translate("AppDelegate", "退出Tessal"), qApp,
                                     &QCoreApplication::quit);
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));

    status_ = new QSystemTrayIcon(trayIcon(QGuiApplication::palette()), this);
    status_->setToolTip(QCoreApplication::translate("AppDelegate", "Tessal截图"));
    // While a delayed capture counts down the icon shows the seconds left; the still is taken at
    // zero, with whatever the user opened meanwhile.
    auto showCountdown = [this](int secondsLeft) {
        const bool counting = secondsLeft > 0;
        if (cancelDelayItem_) cancelDelayItem_->setEnabled(counting);
        if (!status_) return;
        const QPalette palette = QGuiApplication::palette();
        status_->setIcon(counting ? countdownIcon(secondsLeft, palette) : trayIcon(palette));
        status_->setToolTip(
            counting ? QCoreApplication::translate("AppDelegate", "Tessal截图 · %1 秒后截图")
                           .arg(secondsLeft)
                     : QCoreApplication::translate("AppDelegate", "Tessal截图"));
    };
    countdown_.onTick = showCountdown;
    countdown_.onCancelled = [this, showCountdown] {
        showCountdown(0);
        // What the countdown was to open with goes with it.
        pendingRegion_.reset();
        pendingAccept_ = false;
        if (onCaptureCancelled) onCaptureCancelled();
    };
    countdown_.onFinished = [this, showCountdown] {
        showCountdown(0);
        delayedCapture_ = true;
        takeScreenshot();
        if (!capturing_) {  // nothing started (a session is busy)
            delayedCapture_ = false;
            pendingRegion_.reset();
            pendingAccept_ = false;
        }
    };
    status_->setContextMenu(menu_);
    // A left click starts a capture as well; the menu stays on the right button.
    connect(status_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason r) {
                if (r == QSystemTrayIcon::Trigger) takeScreenshot();
            });
    status_->show();
}

std::optional<QString> AppDelegate::announceRunning() {
    const QString how =
        hotKey_ != 0
            ? QCoreApplication::translate("AppDelegate", "按 %1 截图").arg(shortcut_.text())
            : QCoreApplication::translate("AppDelegate", "运行 tessal capture 截图");
    const QString where =
        status_ && QSystemTrayIcon::isSystemTrayAvailable()
            ? QCoreApplication::translate("AppDelegate", "；托盘图标里有更多功能。")
            : QCoreApplication::translate("AppDelegate", "。");
    return platform_.workspace->notify(
        QCoreApplication::translate("AppDelegate", "Tessal 正在运行"), how + where);
}

void AppDelegate::refreshStatusMenu() {
    if (loginMenuItem_ && platform_.loginItem)
        loginMenuItem_->setChecked(platform_.loginItem->isEnabled());
    if (updateItems_) updateItems_->refresh();
}

void AppDelegate::showSettingsWriteFailure(const QString& reason) {
    visibility_.activate();
    alerts_.run(AlertSpec{QCoreApplication::translate("AppDelegate", "无法保存设置"),
                          QCoreApplication::translate(
                              "AppDelegate", "设置文件“%1”无法写入：%2。更改只在本次运行期间有效。")
                              .arg(defaults_.path(), reason),
                          {QCoreApplication::translate("AppDelegate", "知道了")}}
                    .failure());
}

bool AppDelegate::registerShortcut(const CaptureShortcut& shortcut) {
    if (hotKey_ != 0 && shortcut.keyCode == shortcut_.keyCode &&
        shortcut.modifiers == shortcut_.modifiers)
        return true;
    const int reference = platform_.hotKeys->registerHotKey(shortcut.keyCode, shortcut.modifiers);
    if (reference == 0) return false;
    if (hotKey_ != 0) platform_.hotKeys->unregisterHotKey(hotKey_);
    hotKey_ = reference;
    return true;
}

void AppDelegate::configureShortcut() {
    if (configuring_ || capturing_) return;
    configuring_ = true;
    visibility_.activate();
    const ShortcutDialog::Outcome outcome = runShortcutDialog(shortcut_);
    if (outcome.choice != ShortcutDialog::Choice::cancel) {
        const CaptureShortcut candidate = outcome.choice == ShortcutDialog::Choice::restoreDefault
                                              ? CaptureShortcut::defaultShortcut()
                                              : outcome.candidate;
        if (registerShortcut(candidate)) {
            shortcut_ = candidate;
            shortcut_.save(defaults_);
            if (captureMenuItem_) captureMenuItem_->setText(captureTitle(shortcut_));
        } else {
            alerts_.run(
                AlertSpec{QStringLiteral("Tessal"),
                          QCoreApplication::translate(
                              "AppDelegate", "无法注册 %1，请换一个组合键。原快捷键保持不变。")
                              .arg(candidate.text()),
                          {QCoreApplication::translate("AppDelegate", "知道了")}}
                    .failure());
        }
    }
    configuring_ = false;
}

bool AppDelegate::takeScreenshotAfter(double seconds) {
    if (seconds == 0) {
        takeScreenshot();
        return true;
    }
    return countdown_.start(seconds);
}

bool AppDelegate::cancelDelayedScreenshot() {
    return countdown_.cancel();
}

void AppDelegate::takeScreenshot() {
    // Asked for now: a countdown running meanwhile has nothing left to do.
    countdown_.cancel();
    // A capture on its way takes the keys typed after the shortcut, unless it is still waiting
    // for the guide, which answers to the keyboard; refused, they go on to the focused program.
    if (capturing_) {
        if (guideOpen_) platform_.hotKeys->releaseHeldKeys();
        return;
    }
    if (configuring_ || longScreenshot_ || (editor_ && editor_->isSaving)) {
        platform_.hotKeys->releaseHeldKeys();
        return;
    }
    capturing_ = true;
    if (editor_) editor_->hideOverlays();

    // The stored flag first: it spares the accessibility bus a round trip on every capture.
    bool guideShown = false;
    // What the screen showed before the guide, to see it show that again once the guide closed.
    std::shared_ptr<const ScreenRecall> beforeGuide;
    QRect guideFrame;
    if (!defaults_.boolValue(ChildRegionPermissionGuide::shownKey, false) &&
        !platform_.accessibility->isTrusted()) {
        platform_.hotKeys->releaseHeldKeys();  // the guide answers to the keyboard
        visibility_.activate();
        beforeGuide = std::make_shared<ScreenRecall>(ScreenRecall::take());
        guideOpen_ = true;
        const int answer = alerts_.run(ChildRegionPermissionGuide::alert(shortcut_.text()));
        guideOpen_ = false;
        guideFrame = alerts_.lastFrame();
        defaults_.set(ChildRegionPermissionGuide::shownKey, true);
        guideShown = true;
        if (answer == 0) {
            if (editor_) editor_->close();
            capturing_ = false;
            ChildRegionPermissionGuide::openSettings(*platform_.accessibility,
                                                     *platform_.workspace);
            return;
        }
    }

    const bool anythingHidden = visibility_.hide() || guideShown;
    std::weak_ptr<bool> alive = alive_;
    const bool hadEditor = editor_ != nullptr;
    std::function<void()> start = [this, alive, hadEditor] {
        if (!alive.expired()) capture(hadEditor);
    };
    if (beforeGuide && !guideFrame.isEmpty())
        start = [this, alive, beforeGuide, guideFrame, start] {
            if (!alive.expired())
                afterAreaShowsAgain(beforeGuide, guideFrame, clock_.uptime() + kLeaveLimit, start);
        };
    if (anythingHidden)
        afterOwnWindowsLeave(clock_.uptime() + kLeaveLimit, std::move(start));
    else
        mainQueue_.after(0, std::move(start));
}

void AppDelegate::afterAreaShowsAgain(std::shared_ptr<const ScreenRecall> before, QRect area,
                                      double deadline, std::function<void()> then) {
    if (clock_.uptime() >= deadline || before->showsAgain(area)) {
        then();
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.after(kRecallCheckInterval, [this, alive, before, area, deadline, then] {
        if (!alive.expired()) afterAreaShowsAgain(before, area, deadline, then);
    });
}

bool AppDelegate::ownWindowOnScreen() {
    for (const QVariant& entry : platform_.capture->windowList())
        if (entry.toMap().value(WindowKey::pid).toLongLong() == ownPid_) return true;
    return false;
}

void AppDelegate::afterOwnWindowsLeave(double deadline, std::function<void()> then) {
    if (ownWindowOnScreen() && clock_.uptime() < deadline) {
        std::weak_ptr<bool> alive = alive_;
        mainQueue_.after(kLeaveCheckInterval, [this, alive, deadline, then = std::move(then)] {
            if (!alive.expired()) afterOwnWindowsLeave(deadline, then);
        });
        return;
    }
    mainQueue_.after(platform_.capabilities.repaintAfterHiding, std::move(then));
}

void AppDelegate::capture(bool previousWasShown) {
    // The displays freeze on screen first; the overlays replace that still once they are painted.
    // Whether the pointer is in the pictures is known before: the still may be one of them.
    platform_.capture->setPointerInScreenshots(CapturePreferences::includesPointer(defaults_));
    platform_.capture->freezeDisplays(platform_.capture->displays());
    platform_.accessibility->refreshDisplays();
    Result<std::vector<ScreenSnapshot>> snapshots = captureScreens(
        *platform_.capture, ownPid_,
        {&ChildAccessibilityWorker::shared(), platform_.accessibility.get(), &clock_},
        CapturePreferences::includesPointer(defaults_));
    capturing_ = false;
    if (snapshots) {
        if (editor_) editor_->close();
        EditorEnvironment environment{
            mainQueue_,
            clock_,
            *platform_.pasteboard,
            defaults_,
            SerialQueue::submitter("local.ostrel.child-regions"),
            [this] { return savePath(); },
            [this](const AlertSpec& alert) { showAlert(alert); },
            [this](QWindow* window) { return platform_.workspace->grabInput(window); },
            &history_,
            recognitionPresenter(),
            platform_.capabilities.fullScreenOverlays,
            platform_.capabilities.longCaptureUnavailable};
        if (std::exchange(delayedCapture_, false))
            environment.inputAttempts = kDelayedInputAttempts;
        environment.acceptOnSelect = std::exchange(pendingAccept_, false);
        auto editor =
            std::make_unique<Editor>(std::move(snapshots).value(), std::move(environment));
        // Also after a while, in case an overlay is never painted: the still must not outlive
        // its session.
        std::weak_ptr<bool> alive = alive_;
        editor->onShown = [this, alive] {
            if (!alive.expired()) platform_.capture->releaseFrozenDisplays();
        };
        showEditor(std::move(editor));
        mainQueue_.after(kFrozenDisplaysLimit, [this, alive, serial = editorSerial_] {
            if (!alive.expired()) releaseStillOf(serial);
        });
        return;
    }
    pendingRegion_.reset();
    pendingAccept_ = false;
    platform_.capture->releaseFrozenDisplays();
    visibility_.unhide();
    visibility_.activate();
    if (snapshots.error().code == ScreenCaptureService::cancelledByUser) {
        if (onCaptureCancelled) onCaptureCancelled();
    } else {
        const bool permitted = platform_.capture->preflight();
        alerts_.run(ScreenCaptureFailure::alert(snapshots.error(), !permitted).failure());
    }
    if (previousWasShown && editor_) editor_->showWindow();
}

// A session's late release of the still: only while it is the newest and no capture is on its
// way, which owns the still from then on (on X11 the release also lets go of the keys typed for
// that capture).
void AppDelegate::releaseStillOf(unsigned long serial) {
    if (serial == editorSerial_ && !capturing_) platform_.capture->releaseFrozenDisplays();
}

bool AppDelegate::captureSessionOpen() const {
    return editor_ && !editor_->closed();
}

void AppDelegate::showEditor(std::unique_ptr<Editor> editor) {
    Editor* raw = editor.get();
    std::weak_ptr<bool> alive = alive_;
    raw->onPin = [this, alive](const EncodedImage& image, const Rect& frame) {
        return !alive.expired() && showPin(image, frame);
    };
    auto used = std::make_shared<bool>(false);
    raw->onSelectionUsed = [this, used](const Rect& frame) {
        *used = true;
        LastRegion::remember(defaults_, platform_.capture->displays(), frame);
    };
    raw->onActiveUndoStack = [this](QUndoStack* stack) {
        editMenu_.stacks().setActiveStack(stack);
    };
    raw->onLongCapture = [this, alive](const Rect& frame, const Rect& region) {
        return !alive.expired() && startLongCapture(frame, region);
    };
    const unsigned long serial = ++editorSerial_;
    raw->onClose = [this, alive, serial, used] {
        // The overlays are hidden: that reaches the screen before the session is taken down.
        platform_.workspace->sendWindowChanges();
        // Posted after the selection's use, which is told on a later turn as well.
        mainQueue_.async([this, alive, serial, used] {
            if (alive.expired()) return;
            if (!*used && onCaptureCancelled) onCaptureCancelled();
            if (serial != editorSerial_) return;
            releaseStillOf(serial);
            editor_.reset();
        });
    };
    // A replaced editor is closed already; it is dropped here, its late close does nothing.
    editor_ = std::move(editor);
    visibility_.unhide();
    for (const auto& overlay : editor_->overlays()) editMenu_.stacks().addStack(&overlay->edits());
    if (!editor_->overlays().empty())
        editMenu_.stacks().setActiveStack(&editor_->overlays().front()->edits());
    // The still shows the window under the pointer lit while the overlays, mapped over it,
    // paint themselves; not when a region is about to be selected.
    Editor::StillPainter paintStill;
    if (!pendingRegion_)
        paintStill = [this](const Rect& frame, QPoint offset, const QImage& pixels) {
            platform_.capture->drawOnFrozenDisplay(frame, offset, pixels);
        };
    editor_->showWindow(paintStill);
    // "重复上次区域": the session opens with that region selected, as after a drag.
    if (const auto region = std::exchange(pendingRegion_, std::nullopt))
        editor_->select(region->local, region->display);
}

bool AppDelegate::captureLastRegion() {
    QString why;
    const auto placement = LastRegion::place(defaults_, platform_.capture->displays(), &why);
    if (!placement) {
        showAlert({QCoreApplication::translate("AppDelegate", "无法重复上次区域"),
                   why,
                   {QCoreApplication::translate("AppDelegate", "知道了")}});
        return false;
    }
    return captureWith(placement, false, 0);
}

bool AppDelegate::captureSelecting(int display, std::optional<Rect> region, bool acceptOnSelect,
                                   double delay) {
    std::optional<LastRegion::Placement> placement;
    if (region) {
        QString why;
        placement =
            LastRegion::placeOnDisplay(platform_.capture->displays(), display, *region, &why);
        if (!placement) {
            showAlert({QCoreApplication::translate("AppDelegate", "无法选中这个区域"),
                       why,
                       {QCoreApplication::translate("AppDelegate", "知道了")}});
            return false;
        }
    }
    return captureWith(placement, acceptOnSelect, delay);
}

bool AppDelegate::captureWith(std::optional<LastRegion::Placement> region, bool acceptOnSelect,
                              double delay) {
    if (capturing_ || configuring_ || longScreenshot_) return false;
    // First: a countdown cancelled now drops what it was waiting with.
    countdown_.cancel();
    pendingRegion_ = region;
    pendingAccept_ = acceptOnSelect;
    if (delay > 0) return takeScreenshotAfter(delay);
    takeScreenshot();
    if (capturing_) return true;
    pendingRegion_.reset();  // nothing started (a session is busy)
    pendingAccept_ = false;
    return false;
}

std::optional<QString> AppDelegate::savePath() {
    return chooseSavePath ? chooseSavePath() : std::nullopt;
}

AnnotationHost::RecognitionPresenter AppDelegate::recognitionPresenter() {
    return [this](const QImage& image, bool copy, std::function<void()> onCopied,
                  std::function<void()> onClosed) {
        return presentRecognition(image, copy, std::move(onCopied), std::move(onClosed));
    };
}

bool AppDelegate::presentRecognition(const QImage& image, bool copyWhenReady,
                                     std::function<void()> onCopied,
                                     std::function<void()> onClosed) {
    visibility_.activate();
    return recognitionWindows_->present(image, copyWhenReady, std::move(onCopied),
                                        std::move(onClosed));
}

void AppDelegate::showAlert(const AlertSpec& alert) {
    visibility_.activate();
    alerts_.run(alert.failure());
}

Rect AppDelegate::pinFrame(QSize pixelSize, std::optional<Rect> visibleFrame) {
    const Rect visible = visibleFrame.value_or(Rect(0, 0, 1000, 700));
    const double pw = std::max(1, pixelSize.width());
    const double ph = std::max(1, pixelSize.height());
    const double scale = std::min({visible.width() * 0.6 / pw, visible.height() * 0.6 / ph, 1.0});
    const double w = pw * scale;
    const double h = ph * scale;
    return {visible.midX() - w / 2, visible.midY() - h / 2, w, h};
}

bool AppDelegate::showPin(const EncodedImage& image, std::optional<Rect> frame) {
    if (image.image.isNull()) return false;
    if (!frame) {
        std::optional<Rect> visible;
        const auto displays = platform_.capture->displays();
        if (!displays.empty()) visible = displays.front().visibleFrame;
        frame = pinFrame(image.image.size(), visible);
    }
    const auto& compositing = platform_.capabilities.compositing;
    std::unique_ptr<PinnedImage> pin =
        PinnedImage::create(image, *frame, *platform_.pasteboard, !compositing || compositing());
    if (!pin) return false;
    const QUuid id = QUuid::createUuid();
    std::weak_ptr<bool> alive = alive_;
    pin->onClose = [this, alive, id] {
        mainQueue_.async([this, alive, id] {
            if (!alive.expired()) pinnedImages_.erase(id);
        });
    };
    PinnedImage* raw = pin.get();
    pinnedImages_[id] = std::move(pin);
    raw->showWindow();
    return true;
}

void AppDelegate::showResult(const QImage& image, const QString& title) {
    if (image.isNull()) return;
    std::weak_ptr<bool> alive = alive_;
    ResultEnvironment environment{mainQueue_,
                                  clock_,
                                  *platform_.pasteboard,
                                  defaults_,
                                  [this] { return savePath(); },
                                  [this](const AlertSpec& alert) { showAlert(alert); },
                                  &history_,
                                  recognitionPresenter(),
                                  [this](const AlertSpec& question) {
                                      visibility_.activate();
                                      return alerts_.run(question);
                                  }};
    auto result = std::make_unique<LongScreenshotResult>(
        image, title,
        [this, alive](const EncodedImage& pin) {
            return !alive.expired() && showPin(pin, std::nullopt);
        },
        std::move(environment));
    const QUuid id = QUuid::createUuid();
    result->onClose = [this, alive, id] {
        mainQueue_.async([this, alive, id] {
            if (!alive.expired()) longResults_.erase(id);
        });
    };
    LongScreenshotResult* raw = result.get();
    editMenu_.addWindowStack(raw, &raw->edits());
    longResults_[id] = std::move(result);
    raw->show();
    raw->raise();
    raw->activateWindow();
}

bool AppDelegate::startLongCapture(const Rect& frame, const Rect& region) {
    if (longScreenshot_) return false;
    if (!platform_.capabilities.longCaptureUnavailable.isEmpty() || !platform_.windowStreams) {
        showAlert({QCoreApplication::translate("AppDelegate", "无法开始长截图"),
                   platform_.capabilities.longCaptureUnavailable,
                   {QCoreApplication::translate("AppDelegate", "知道了")}});
        return false;
    }
    LongCaptureEnvironment environment{
        mainQueue_,
        clock_,
        *platform_.pasteboard,
        defaults_,
        *platform_.capture,
        *platform_.windowStreams,
        *platform_.workspace,
        ownPid_,
        SerialQueue::submitter("local.ostrel.long-capture.append"),
        [this] { return savePath(); },
        [this](const QImage& image, LongCaptureAxis axis, LongCaptureCrop crop) {
            return askTrim ? askTrim(image, axis, crop)
                           : runLongCaptureTrimDialog(image, axis, crop);
        },
        [this] { visibility_.activate(); },
        [this](const AlertSpec& alert) { showAlert(alert); },
        &history_};
    auto capture = std::make_unique<LongScreenshot>(frame, region, std::move(environment));
    std::weak_ptr<bool> alive = alive_;
    capture->onFinish = [this, alive](const QImage& image) {
        if (!alive.expired())
            showResult(image, QCoreApplication::translate("AppDelegate", "长截图"));
    };
    capture->onPin = [this, alive](const EncodedImage& image) {
        return !alive.expired() && showPin(image, std::nullopt);
    };
    LongScreenshot* raw = capture.get();
    capture->onClose = [this, alive, raw] {
        mainQueue_.async([this, alive, raw] {
            if (!alive.expired() && longScreenshot_.get() == raw) longScreenshot_.reset();
        });
    };
    longScreenshot_ = std::move(capture);
    mainQueue_.async([this, alive, raw] {
        if (!alive.expired() && longScreenshot_.get() == raw) raw->start();
    });
    return true;
}

void AppDelegate::stopRecognitions() {
    recognitionWindows_->cancelAll();
}

void AppDelegate::showHistory() {
    if (!historyWindow_) {
        historyWindow_ = std::make_unique<ScreenshotHistoryWindow>(
            history_,
            HistoryWindowEnvironment{mainQueue_, *platform_.pasteboard, defaults_,
                                     [this] { return savePath(); },
                                     [this](const AlertSpec& alert) { return alerts_.run(alert); },
                                     SerialQueue::submitter("local.ostrel.history-thumbnails")});
        std::weak_ptr<bool> alive = alive_;
        // Stored PNGs are decoded on the worker: a long capture's takes a third of a second.
        auto decoded = [this, alive](const QByteArray& png,
                                     std::function<void(EncodedImage)> then) {
            PngEncoder::worker().async([png, alive, then = std::move(then), &queue = mainQueue_] {
                EncodedImage image{png, QImage::fromData(png)};
                queue.async([alive, then, image = std::move(image)] {
                    if (!alive.expired()) then(image);
                });
            });
        };
        historyWindow_->onEdit = [this, decoded](const QByteArray& png) {
            decoded(png, [this](const EncodedImage& image) {
                showResult(image.image, QCoreApplication::translate("AppDelegate", "历史截图"));
            });
        };
        historyWindow_->onPin = [this, decoded](const QByteArray& png) {
            decoded(png, [this](const EncodedImage& image) { showPin(image, std::nullopt); });
        };
    }
    visibility_.activate();
    historyWindow_->showWindow();
}

void AppDelegate::showPreferences() {
    if (!preferencesWindow_)
        preferencesWindow_ = std::make_unique<CapturePreferencesWindow>(
            defaults_, history_, [this](const AlertSpec& alert) { return alerts_.run(alert); });
    visibility_.activate();
    preferencesWindow_->showWindow();
}

}  // namespace tessal
