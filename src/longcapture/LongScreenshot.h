#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "AutoScroller.h"
#include "LongCaptureFeedback.h"
#include "LongCaptureKeyHandler.h"
#include "ScrollStitcher.h"
#include "base/AlertSpec.h"
#include "base/UserError.h"
#include "base/geometry.h"
#include "imaging/PngEncoder.h"
#include "platform/ScreenCaptureService.h"

class QTimer;

namespace tessal {

class Clock;
class DefaultsStore;
class LongCaptureControlWindow;
struct LongCapturePlacement;
class LongCapturePanel;
class LongCapturePanelHost;
class LongCaptureRegionView;
class LongFrameStream;
class MainQueue;
class Pasteboard;
class ScreenshotHistory;
class WindowStreamService;
class Workspace;

// What the trim dialog answered: the button (apply, cancel, restore) and the two fields.
struct LongCaptureTrimAnswer {
    enum class Button { apply, cancel, restore };
    Button button = Button::cancel;
    QString leading;
    QString trailing;
};

// What a long capture needs from the program around it; the dialogs and the worker are
// functions so tests can answer them.
struct LongCaptureEnvironment {
    MainQueue& mainQueue;
    const Clock& clock;
    Pasteboard& pasteboard;
    DefaultsStore& defaults;
    ScreenCaptureService& capture;
    WindowStreamService& windowStreams;
    Workspace& workspace;
    int ownPid = 0;
    // Runs one stitcher append off the main thread.
    std::function<void(std::function<void()>)> appendQueue;
    std::function<std::optional<QString>()> chooseSavePath;
    // The trim dialog over the whole result (vertical), the capture's axis and the current trim.
    std::function<LongCaptureTrimAnswer(const QImage&, LongCaptureAxis, LongCaptureCrop)> askTrim;
    // Brings Tessal to the front before a dialog.
    std::function<void()> activateSelf;
    std::function<void(const AlertSpec&)> showError;
    ScreenshotHistory* history = nullptr;
};

// One long capture from the region chosen in a capture session to its result: finds the
// window under the region, streams it, stitches its frames one at a time, optionally scrolls it,
// watches that it stays put, and hands the result to the clipboard, a file, a pin or an editor.
// Everything runs on the main thread except each append, which runs on the append worker.
class LongScreenshot {
  public:
    // `screenFrame`: the display's frame (global, y up); `region`: relative to it.
    LongScreenshot(const Rect& screenFrame, const Rect& region, LongCaptureEnvironment environment);
    ~LongScreenshot();
    LongScreenshot(const LongScreenshot&) = delete;
    LongScreenshot& operator=(const LongScreenshot&) = delete;

    std::function<void(const QImage&)> onFinish;
    std::function<void()> onReady;
    std::function<void(std::optional<ScrollAppendResult>, const QImage&)> onMatchResult;
    std::function<void(const UserError&)> onError;
    std::function<void()> onClose;
    std::function<bool(const EncodedImage&)> onPin;

    void start();
    void close();

    // The user's actions.
    // Closing waits while a pin or save is being made: the image exists nowhere else yet.
    void requestClose();
    void toggleAutoScroll();
    void togglePause();
    void changeDirection();
    void setDirection(LongCaptureAxis axis);
    void toggleAutomaticCrop(bool on);
    void copyCurrent();
    void finishCapture();
    void pinCurrent();
    void saveCurrent();
    void cropCurrent();
    void moveCaptureRegion(Point delta);
    void beginMove();
    void endMove();
    // A rectangle from the region's handles (global, y up).
    void adjustRegion(const Rect& rect);

    // The trim a dialog's fields describe for a result `height` rows long; none when invalid.
    static std::optional<LongCaptureCrop> parseTrim(const QString& leading, const QString& trailing,
                                                    int height);
    static UserError error(int code);

    // State, for the views and for tests.
    bool closed() const { return closed_; }
    bool paused() const { return paused_; }
    bool captureFailed() const { return captureFailed_; }
    bool autoScrolling() const { return scroller_.active(); }
    bool processing() const { return processing_; }
    int autoPostedCount() const { return scroller_.postedCount(); }
    int sourcePID() const { return source_.pid; }
    unsigned sourceWindowID() const { return source_.window; }
    Rect region() const { return region_; }
    LongCaptureAxis axis() const { return axis_; }
    LongCaptureCrop cropEdges() const { return cropEdges_; }
    const LongCaptureFeedback& feedback() const { return feedback_; }
    std::optional<QString> stickyStatus() const { return stickyStatus_; }
    const ScrollStitcher* stitcher() const { return stitcher_.get(); }
    int regionGeneration() const { return regionGeneration_; }
    LongCaptureControlWindow& controls() const { return *controls_; }
    LongCapturePanel& previewPanel() const { return *previewPanel_; }
    LongCaptureRegionView& regionView() const { return *regionView_; }
    LongCapturePanelHost* panelHost() const { return host_.get(); }
    LongCaptureKeyHandler& keys() { return keys_; }
    QString status() const;
    // How the frames went: received (taken from the stream), and each append result.
    struct Counts {
        int received = 0, appended = 0, cropped = 0, unchanged = 0, unmatched = 0;
    };
    const Counts& counts() const { return counts_; }
    QString dimensions() const;

  private:
    void startCapture(int attempt);
    void startOncePanelsAreAside(double deadline);
    void alignPanelHost();
    // The display the region is on, as the capture service lists it now.
    std::optional<DisplayInfo> regionDisplay() const;
    bool panelsAside();
    void fail(const UserError& failure);
    void configureFrameStream();
    void scheduleLoop(double delay);
    void loopStep();
    bool sourceStillThere();
    void firstFrame(const QImage& frame);
    void appendDone(ScrollAppendResult result, const QImage& frame, int generation,
                    const std::shared_ptr<ScrollStitcher>& stitcher);
    void handleResult(const ScrollAppendResult& result, const QImage& frame);
    void afterFrame();
    void setPaused(bool paused);
    void stopAutoScroll(std::optional<QString> message);
    void scrollAutomatically();
    void refreshPreview(bool force);
    void resetResult();
    void applyRegion(const Rect& global, bool restart);
    void placeWindows();
    LongCapturePlacement panelPlacement() const;
    void showStatus(const QString& text);
    void clampCrop(int height);
    Rect globalRegion() const;
    Rect windowListRegion() const;
    Rect windowListRect(const Rect& global) const;
    double primaryTop() const;
    void updateRegionInput();
    // Brings the capture to rest and runs `then` with the composed result, or says why not.
    void readResult(std::function<void(const QImage&)> then);
    void waitForIdle(std::function<void()> then);
    bool prepareExport();
    // The result's PNG made on the PNG worker; `then` gets it on the main thread (none when
    // memory ran out), unless the capture closed meanwhile.
    void encodeResult(const QImage& image,
                      std::function<void(const std::optional<QByteArray>&)> then);
    void recordInHistory(const QByteArray& png);
    void activateSource();
    // Tells the desktop which windows are our panels (where it must be told: Wayland).
    void keepPanels();
    void measureTurns();

    LongCaptureEnvironment env_;
    const Rect screenFrame_;
    Rect region_;
    // Where the desktop cannot be told where our panels go: the window holding them all. Before
    // them, so that they go first.
    std::unique_ptr<LongCapturePanelHost> host_;
    std::unique_ptr<LongCaptureRegionView> regionView_;
    std::unique_ptr<LongCapturePanel> previewPanel_;
    std::unique_ptr<LongCaptureControlWindow> controls_;
    LongCaptureAxis axis_ = LongCaptureAxis::vertical;
    LongCaptureCrop cropEdges_;
    int regionGeneration_ = 0;
    LongCaptureKeyHandler keys_;
    LongCaptureFeedback feedback_;
    AutoScroller scroller_;
    bool paused_ = false;
    WindowOwner source_;
    double lastPreviewRefresh_ = -1e9;
    bool previewDirty_ = false;
    std::optional<QString> stickyStatus_;
    std::shared_ptr<LongFrameStream> frameStream_;
    Rect sourceFrame_;    // window-list coordinates, at the start
    Rect sourceContent_;  // the part the stream shows, window-list coordinates
    double sourceScale_ = 1.0;
    Rect visibleFrame_;
    double lastSourceCheck_ = -1e9;
    std::shared_ptr<ScrollStitcher> stitcher_;
    bool closed_ = false;
    bool processing_ = false;
    bool encoding_ = false;  // a result's PNG is being made; no second export meanwhile
    bool captureFailed_ = false;
    bool movingRegion_ = false;
    Rect moveOrigin_;
    bool automaticCrop_ = true;
    bool captureReverseDirection_ = false;
    int consecutiveUnmatched_ = 0;
    Counts counts_;
    bool loopScheduled_ = false;
    bool running_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // For measurements only (the info log): the longest gap between two ticks of a 10 ms timer
    // on the main thread, and when the first and the last frame came.
    std::unique_ptr<QTimer> heartbeat_;
    QElapsedTimer sinceBeat_;
    qint64 worstTurnMs_ = 0;
    double firstFrameAt_ = -1, lastFrameAt_ = -1;
    // When the stitcher took its first frame, and how many scroll steps had been sent by then.
    double firstFrameTakenAt_ = -1;
    int stepsBeforeFirstFrame_ = 0;
};

}  // namespace tessal
