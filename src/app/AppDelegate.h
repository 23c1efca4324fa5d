#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QUuid>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "ApplicationVisibility.h"
#include "CaptureShortcut.h"
#include "EditMenu.h"
#include "ScreenRecall.h"
#include "ShortcutDialog.h"
#include "annotation/AnnotationHost.h"
#include "base/AlertSpec.h"
#include "base/geometry.h"
#include "capture/CaptureCountdown.h"
#include "capture/LastRegion.h"
#include "imaging/PngEncoder.h"
#include "longcapture/LongScreenshot.h"
#include "tools/ScreenshotHistory.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace tessal {

class AlertPresenter;
class AppServices;
class UpdateSource;
class CapturePreferencesWindow;
class Clock;
class DefaultsStore;
class Editor;
class LongScreenshot;
class LongScreenshotResult;
class PinnedImage;
class ScreenAccessNote;
class MainQueue;
class ScreenshotHistoryWindow;
class TextRecognitionWindows;
class UpdateMenuItems;
struct Platform;

// The resident program: tray icon and menu, the capture shortcut, the start of every capture
// and the registry of the windows it opens.
class AppDelegate final : public QObject {
    Q_OBJECT
  public:
    AppDelegate(Platform& platform, DefaultsStore& defaults, MainQueue& mainQueue,
                const Clock& clock, AlertPresenter& alerts, int ownPid);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();

    void takeScreenshot();
    // The frozen still is taken once `seconds` have passed (now when 0), so that a menu or a
    // tooltip opened meanwhile is in it; the tray counts down and can cancel. Another capture
    // started meanwhile ends the wait. False for a delay out of range.
    bool takeScreenshotAfter(double seconds);
    bool cancelDelayedScreenshot();
    // A capture that opens with the last copied, saved or pinned region of this arrangement of
    // displays selected; an alert says why when there is none or it lies on no display.
    bool captureLastRegion();
    // A capture (after `delay` seconds) that opens with display `display`'s local `region`
    // selected, cut to the display; an alert says why when it lies off it. With
    // `acceptOnSelect` the first selection completed in it is copied as Return would.
    bool captureSelecting(int display, std::optional<Rect> region, bool acceptOnSelect,
                          double delay);
    QMenu* delayMenu() const { return delayMenu_; }
    void configureShortcut();
    bool registerShortcut(const CaptureShortcut& shortcut);
    // Pins PNG bytes over `frame` (global coordinates) or centred on the main display.
    bool showPin(const EncodedImage& image, std::optional<Rect> frame);
    // Opens an image in its own annotation window, titled "Tessal · <title> W × H px".
    void showResult(const QImage& image, const QString& title);
    // Starts a long capture of `region` (relative to the display at `frame`); false while one
    // is running.
    bool startLongCapture(const Rect& frame, const Rect& region);
    // The history and preferences windows: made once, brought to the front when open.
    void showHistory();
    void showPreferences();
    // A later start of the program: a desktop notification says that Tessal runs and how to
    // capture. The reason when none could be shown.
    std::optional<QString> announceRunning();
    // At quit, before the worker queues drain: recognitions still running or queued end now.
    void stopRecognitions();

    // Where a pin without a frame goes: centred on `visible`, one image pixel per point at most
    // and never more than 60 % of the visible area either way.
    static Rect pinFrame(QSize pixelSize, std::optional<Rect> visibleFrame);

    Editor* editor() const { return editor_.get(); }
    bool capturing() const { return capturing_; }
    // A capture's overlays or its editor are open.
    bool captureSessionOpen() const;
    bool configuring() const { return configuring_; }
    const CaptureShortcut& shortcut() const { return shortcut_; }
    QMenu* statusMenu() const { return menu_; }
    QAction* captureMenuItem() const { return captureMenuItem_; }
    QAction* loginMenuItem() const { return loginMenuItem_; }
    UpdateMenuItems& updateMenuItems() const { return *updateItems_; }
    AppServices& appServices() { return *appServices_; }
    EditMenu& editMenu() { return editMenu_; }

    ScreenshotHistory& history() { return history_; }
    ScreenshotHistoryWindow* historyWindow() const { return historyWindow_.get(); }
    CapturePreferencesWindow* preferencesWindow() const { return preferencesWindow_.get(); }
    std::size_t pinCount() const { return pinnedImages_.size(); }
    std::size_t resultCount() const { return longResults_.size(); }
    LongScreenshot* longScreenshot() const { return longScreenshot_.get(); }
    TextRecognitionWindows& recognitionWindows() { return *recognitionWindows_; }

    // Replaced by tests: the dialogs.
    std::function<ShortcutDialog::Outcome(const CaptureShortcut& current)> runShortcutDialog;
    std::function<std::optional<QString>()> chooseSavePath;
    std::function<LongCaptureTrimAnswer(const QImage&, LongCaptureAxis, LongCaptureCrop)> askTrim;
    // A capture ended without its selection copied, saved or pinned, or a countdown was
    // cancelled.
    std::function<void()> onCaptureCancelled;

  private:
    void buildStatusMenu();
    // The check marks of the launch-at-login and automatic-update items.
    void refreshStatusMenu();
    void capture(bool previousWasShown);
    bool captureWith(std::optional<LastRegion::Placement> region, bool acceptOnSelect,
                     double delay);
    // Whether the window list still shows a window of this program (a frame the window manager
    // has not let go of yet).
    bool ownWindowOnScreen();
    // Runs `then` once no window of ours is listed (or at `deadline`), after the repaint delay.
    void afterOwnWindowsLeave(double deadline, std::function<void()> then);
    void releaseStillOf(unsigned long serial);
    // Runs `then` once `area` shows what it showed in `before` again (the windows beneath have
    // repainted it), or at `deadline`.
    void afterAreaShowsAgain(std::shared_ptr<const ScreenRecall> before, QRect area,
                             double deadline, std::function<void()> then);
    void showEditor(std::unique_ptr<Editor> editor);
    void showSettingsWriteFailure(const QString& reason);
    // The save dialog and the failure alerts, shared by every window that saves or copies.
    std::optional<QString> savePath();
    void showAlert(const AlertSpec& alert);
    // Opens a text recognition window in front (for the editor and the result windows).
    bool presentRecognition(const QImage& image, bool copyWhenReady, std::function<void()> onCopied,
                            std::function<void()> onClosed);
    AnnotationHost::RecognitionPresenter recognitionPresenter();

    Platform& platform_;
    DefaultsStore& defaults_;
    MainQueue& mainQueue_;
    const Clock& clock_;
    AlertPresenter& alerts_;
    int ownPid_;
    ScreenshotHistory history_;

    QSystemTrayIcon* status_ = nullptr;
    QMenu* menu_ = nullptr;
    int hotKey_ = 0;
    std::unique_ptr<Editor> editor_;
    std::map<QUuid, std::unique_ptr<PinnedImage>> pinnedImages_;
    std::map<QUuid, std::unique_ptr<LongScreenshotResult>> longResults_;
    std::unique_ptr<LongScreenshot> longScreenshot_;
    std::unique_ptr<TextRecognitionWindows> recognitionWindows_;
    std::unique_ptr<ScreenshotHistoryWindow> historyWindow_;
    std::unique_ptr<CapturePreferencesWindow> preferencesWindow_;
    // Up while the desktop asks the user whether we may take screenshots.
    std::unique_ptr<ScreenAccessNote> accessNote_;
    // Tells a late close of a replaced editor from the close of the current one.
    unsigned long editorSerial_ = 0;
    bool capturing_ = false;
    bool guideOpen_ = false;  // the first capture's guide, while it waits for an answer
    bool configuring_ = false;
    QAction* captureMenuItem_ = nullptr;
    QMenu* delayMenu_ = nullptr;
    QAction* cancelDelayItem_ = nullptr;
    CaptureCountdown countdown_{mainQueue_, clock_};
    // The capture the countdown ends in: it waits longer for the keyboard and the pointer.
    bool delayedCapture_ = false;
    // The region the next capture opens with ("重复上次区域").
    std::optional<LastRegion::Placement> pendingRegion_;
    // The next capture copies its first completed selection (--accept-on-select).
    bool pendingAccept_ = false;
    QAction* loginMenuItem_ = nullptr;
    std::unique_ptr<UpdateMenuItems> updateItems_;
    std::unique_ptr<UpdateSource> updateSource_;
    std::unique_ptr<AppServices> appServices_;
    CaptureShortcut shortcut_;
    // Why this desktop has no system-wide shortcut (the menu says what to do); empty if it has.
    QString noHotKeys_;
    ApplicationVisibility visibility_;
    EditMenu editMenu_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tessal
