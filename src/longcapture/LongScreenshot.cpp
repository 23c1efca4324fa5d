#include "LongScreenshot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "LongCaptureControlWindow.h"
#include "LongCaptureLayout.h"
#include "LongCaptureMoveButton.h"
#include "LongCapturePanelHost.h"
#include "LongCapturePreview.h"
#include "LongCaptureRegionView.h"
#include "LongFrameStream.h"
#include "annotation/ToolbarButtons.h"
#include "base/Clock.h"
#include "base/MainQueue.h"
#include "capture/ScreenGeometry.h"
#include "imaging/DrawnRing.h"
#include "platform/KeyCodes.h"
#include "platform/WindowStreamService.h"
#include "platform/Workspace.h"

namespace tessal {
namespace {

// Each run's figures, for measurements only: off unless QT_LOGGING_RULES turns it on
// ("tessal.longcapture.info=true").
Q_LOGGING_CATEGORY(longCaptureLog, "tessal.longcapture", QtWarningMsg)

constexpr long long kMaximumPixels = 24'000'000;
constexpr double kIdleSleep = 0.008;
constexpr double kSourceCheckInterval = 0.1;
constexpr double kPreviewInterval = 0.1;
constexpr int kStartRetries = 5;
constexpr double kStartRetryDelay = 0.2;
constexpr double kCoveringStartDelay = 0.4;
constexpr double kPanelsPlacedCheck = 0.05;
constexpr double kPanelsPlacedLimit = 3;
// How far (points) the desktop may have put the window holding our panels from the display's
// top-left: past a top bar and a dock.
constexpr int kPanelHostReach = 160;
// How long after the first frame one that does not continue it, before any scrolling, replaces it.
constexpr double kFirstFrameSettle = 1.0;

QString kCapturing() {
    return QCoreApplication::translate(
        "LongScreenshot", "滚动原窗口，或点“自动滚动”。空格停止，Enter 复制，Esc 关闭。");
}
QString kPausedAtStart() {
    return QCoreApplication::translate("LongScreenshot", "已停止，点开始继续，或直接复制、保存。");
}

}  // namespace

UserError LongScreenshot::error(int code) {
    switch (code) {
        case 1:
            return {
                "Zelmar", 1,
                QCoreApplication::translate("LongScreenshot", "显示器已断开，请重新选择区域。")};
        case 3:
            return {
                "Zelmar", 3,
                QCoreApplication::translate("LongScreenshot", "请在一个窗口内部框选可滚动内容。 ")};
        case 4:
            return {"Zelmar", 4,
                    QCoreApplication::translate("LongScreenshot",
                                                "目标窗口尚未准备好，请取消后重新选择。 ")};
        case 5:
            return {"Zelmar", 5,
                    QCoreApplication::translate("LongScreenshot", "目标窗口已移动、缩放或关闭。")};
        default:
            return LongFrameStream::conversionError();
    }
}

LongScreenshot::LongScreenshot(const Rect& screenFrame, const Rect& region,
                               LongCaptureEnvironment environment)
    : env_(std::move(environment)),
      screenFrame_(screenFrame),
      region_(region),
      regionView_(std::make_unique<LongCaptureRegionView>()),
      previewPanel_(std::make_unique<LongCapturePanel>()),
      controls_(std::make_unique<LongCaptureControlWindow>()),
      keys_(env_.workspace),
      scroller_({env_.clock, env_.workspace, env_.workspace, env_.capture, env_.ownPid,
                 [this](Point probe) {
                     const QPoint qt = qtPointFromWindowList(probe).toPoint();
                     for (const QWidget* panel : std::initializer_list<const QWidget*>{
                              controls_.get(), previewPanel_.get()})
                         if (panel->isVisible() && panelFrame(panel).contains(qt)) return true;
                     return false;
                 }}),
      visibleFrame_(screenFrame) {
    for (const DisplayInfo& display : env_.capture.displays())
        if (display.frame == screenFrame_ && !display.visibleFrame.isEmpty())
            visibleFrame_ = display.visibleFrame;
    if (!env_.workspace.placesPanels()) {
        host_ = std::make_unique<LongCapturePanelHost>(qtRectFromGlobal(screenFrame_));
        host_->adopt({regionView_.get(), previewPanel_.get(), controls_.get()},
                     {previewPanel_.get(), controls_.get()});
    }
    regionView_->setGlobalRect(globalRegion());
    regionView_->setRingOutside(env_.windowStreams.showsCoveringWindows());
    regionView_->onAdjust = [this](const Rect& r) { adjustRegion(r); };
    previewPanel_->resize(184, int(std::min(std::max(region_.height(), 180.0), 400.0)));

    LongCaptureControlWindow& c = *controls_;
    c.status->setText(QCoreApplication::translate("LongScreenshot", "正在连接滚动窗口…"));
    c.dimensions->setText(QCoreApplication::translate("LongScreenshot", "准备截取"));
    c.autoButton->setEnabled(false);
    c.editButton->setEnabled(false);
    c.moveButton->setEnabled(false);
    c.onCloseRequest = [this] { requestClose(); };
    QObject::connect(c.autoButton, &QPushButton::clicked, [this] { toggleAutoScroll(); });
    QObject::connect(c.pauseButton, &QAbstractButton::clicked, [this] { togglePause(); });
    QObject::connect(c.direction, &QComboBox::activated, [this] { changeDirection(); });
    QObject::connect(c.automaticCrop, &QCheckBox::toggled,
                     [this](bool on) { toggleAutomaticCrop(on); });
    QObject::connect(c.trimButton, &QAbstractButton::clicked, [this] { cropCurrent(); });
    QObject::connect(c.editButton, &QAbstractButton::clicked, [this] { finishCapture(); });
    QObject::connect(c.pinButton, &QAbstractButton::clicked, [this] { pinCurrent(); });
    QObject::connect(c.saveButton, &QAbstractButton::clicked, [this] { saveCurrent(); });
    QObject::connect(c.closeButton, &QAbstractButton::clicked, [this] { requestClose(); });
    QObject::connect(c.copyButton, &QAbstractButton::clicked, [this] { copyCurrent(); });
    c.moveButton->onBegin = [this] { beginMove(); };
    c.moveButton->onMove = [this](Point delta) { moveCaptureRegion(delta); };
    c.moveButton->onEnd = [this] { endMove(); };
    keys_.action = [this](int keyCode) {
        if (closed_) return;
        if (keyCode == KeyCode::returnKey)
            copyCurrent();
        else if (keyCode == KeyCode::escape)
            requestClose();
        else
            togglePause();
    };
    placeWindows();
}

LongScreenshot::~LongScreenshot() {
    alive_.reset();
    keys_.stop();
    if (frameStream_) frameStream_->stop();
    controls_->onCloseRequest = nullptr;
    controls_->moveButton->onBegin = nullptr;
    controls_->moveButton->onMove = nullptr;
    controls_->moveButton->onEnd = nullptr;
    regionView_->onAdjust = nullptr;
}

QString LongScreenshot::status() const {
    return controls_->status->text();
}

QString LongScreenshot::dimensions() const {
    return controls_->dimensions->text();
}

double LongScreenshot::primaryTop() const {
    const std::vector<DisplayInfo> displays = env_.capture.displays();
    return displays.empty() ? screenFrame_.maxY() : displays.front().frame.maxY();
}

Rect LongScreenshot::globalRegion() const {
    return region_.offsetBy(screenFrame_.minX(), screenFrame_.minY());
}

Rect LongScreenshot::windowListRegion() const {
    return windowListRect(globalRegion());
}

Rect LongScreenshot::windowListRect(const Rect& g) const {
    return Rect(g.minX(), primaryTop() - g.maxY(), g.width(), g.height());
}

void LongScreenshot::showStatus(const QString& text) {
    controls_->status->setText(text);
}

LongCapturePlacement LongScreenshot::panelPlacement() const {
    const QSize toolbar = controls_->frameGeometry().size();
    // A window holding the panels holds them on the part of the display it covers.
    const Rect area = host_ ? globalRectFromQt(host_->shownRect()) : visibleFrame_;
    return longCaptureLayout(globalRegion(), area,
                             {double(toolbar.width()), double(toolbar.height())},
                             {double(previewPanel_->width()), double(previewPanel_->height())});
}

void LongScreenshot::placeWindows() {
    const LongCapturePlacement placement = panelPlacement();
    placePanel(controls_.get(), qtRectFromGlobal(placement.toolbar).topLeft());
    placePanel(previewPanel_.get(), qtRectFromGlobal(placement.preview).topLeft());
    keepPanels();
}

void LongScreenshot::activateSource() {
    env_.workspace.activate(source_);
}

void LongScreenshot::keepPanels() {
    if (host_) return;
    const LongCapturePlacement placement = panelPlacement();
    const std::pair<QWidget*, QRect> panels[] = {
        {regionView_.get(), regionView_->placedGeometry()},
        {previewPanel_.get(), qtRectFromGlobal(placement.preview)},
        {controls_.get(), qtRectFromGlobal(placement.toolbar)}};
    for (const auto& [panel, frame] : panels)
        if (QWindow* window = panel->windowHandle()) env_.workspace.keepPanel(window, frame);
}

void LongScreenshot::measureTurns() {
    if (!longCaptureLog().isInfoEnabled()) return;
    heartbeat_ = std::make_unique<QTimer>();
    heartbeat_->setInterval(10);
    sinceBeat_.start();
    QObject::connect(heartbeat_.get(), &QTimer::timeout,
                     [this] { worstTurnMs_ = std::max(worstTurnMs_, sinceBeat_.restart()); });
    heartbeat_->start();
}

// --- start ---------------------------------------------------------------------------------

void LongScreenshot::start() {
    if (closed_ || running_) return;
    running_ = true;
    // Native windows first, so that a desktop that must be told about them hears before they map.
    if (host_) {
        host_->showOnScreen();
    } else {
        for (QWidget* panel : std::initializer_list<QWidget*>{regionView_.get(),
                                                              previewPanel_.get(), controls_.get()})
            panel->winId();
    }
    keepPanels();
    measureTurns();
    controls_->show();
    regionView_->show();
    controls_->raise();
    regionView_->raise();
    // Frames read from the screen as shown would show our panels until the compositor has put
    // them in place, and the capture overlay while it fades. The preview maps now too (empty
    // until the first frame): mapped later, it would stand over the region in the first frames.
    if (!env_.windowStreams.showsCoveringWindows()) return startCapture(0);
    if (!paused_) previewPanel_->show();
    std::weak_ptr<bool> alive = alive_;
    env_.mainQueue.after(kCoveringStartDelay, [this, alive] {
        if (alive.expired()) return;
        if (host_) return alignPanelHost();
        startOncePanelsAreAside(env_.clock.uptime() + kPanelsPlacedLimit);
    });
}

// Where the window list shows our own windows, the capture starts once the side panels are in
// it away from the region and nothing of ours lies over it (a compositor that places new windows
// itself may first put a panel there, and the busier it is, the later a panel maps at all);
// without one, after the fixed delay alone.
void LongScreenshot::startOncePanelsAreAside(double deadline) {
    if (closed_) return;
    if (panelsAside()) return startCapture(0);
    if (env_.clock.uptime() >= deadline) {
        qCInfo(longCaptureLog) << "our panels are not yet aside of the region; reading anyway";
        return startCapture(0);
    }
    std::weak_ptr<bool> alive = alive_;
    env_.mainQueue.after(kPanelsPlacedCheck, [this, alive, deadline] {
        if (!alive.expired()) startOncePanelsAreAside(deadline);
    });
}

// The desktop put the window holding our panels where it likes (below a top bar, beside a dock)
// and does not say where: the ring around the region, found in a still of the display, says by
// how much it is off. The panels then move to where they belong, and the frames start once the
// screen shows them there.
void LongScreenshot::alignPanelHost() {
    if (closed_) return;
    std::optional<QPoint> shift;
    const std::optional<DisplayInfo> display = regionDisplay();
    if (display && env_.capture.shareableContent()) {
        const double scale = display->scale;
        const auto px = [scale](double points) { return int(std::lround(points * scale)); };
        const Result<QImage> still =
            env_.capture.screenshot(*display, px(screenFrame_.width()), px(screenFrame_.height()));
        const QRect ring = qtRectFromGlobal(regionView_->ringOuter())
                               .translated(-qtRectFromGlobal(screenFrame_).topLeft());
        const std::optional<QPoint> found =
            still ? findDrawnRing(
                        still.value(),
                        QRect(px(ring.x()), px(ring.y()), px(ring.width()), px(ring.height())),
                        px(LongCaptureRegionView::ringWidth), LongCaptureRegionView::ringColor(),
                        px(kPanelHostReach))
                  : std::nullopt;
        if (found)
            shift =
                QPoint(int(std::lround(found->x() / scale)), int(std::lround(found->y() / scale)));
    }
    if (!shift) qCInfo(longCaptureLog) << "our ring is not on the screen; panels left in place";
    if (!shift || shift->isNull()) return startCapture(0);
    qCInfo(longCaptureLog) << "the desktop put our panels" << *shift << "off; moving them";
    host_->setOrigin(host_->origin() + *shift);
    regionView_->setGlobalRect(globalRegion());
    placeWindows();
    std::weak_ptr<bool> alive = alive_;
    env_.mainQueue.after(kCoveringStartDelay, [this, alive] {
        if (!alive.expired()) startCapture(0);
    });
}

std::optional<DisplayInfo> LongScreenshot::regionDisplay() const {
    std::optional<DisplayInfo> display;
    for (const DisplayInfo& d : env_.capture.displays())
        if (d.frame == screenFrame_) display = d;
    return display;
}

bool LongScreenshot::panelsAside() {
    const Rect region = windowListRegion();
    // The side panels are told apart from our other windows (a pin, say) by their size.
    std::vector<QSize> unseen;
    for (QWidget* panel : std::initializer_list<QWidget*>{controls_.get(), previewPanel_.get()})
        if (panel->isVisible()) unseen.push_back(panel->frameGeometry().size());
    for (const WindowListEntry& entry : parseWindowList(env_.capture.windowList())) {
        if (!entry.pid || *entry.pid != env_.ownPid || !entry.bounds) continue;
        const Rect& b = *entry.bounds;
        // The ring around the region holds it whole and shows nothing inside it.
        if (b.contains(region)) continue;
        if (!b.intersected(region).isEmpty()) return false;
        const auto panel = std::find_if(unseen.begin(), unseen.end(), [&](QSize size) {
            return std::abs(b.width() - size.width()) <= 1 &&
                   std::abs(b.height() - size.height()) <= 1;
        });
        if (panel != unseen.end()) unseen.erase(panel);
    }
    return unseen.empty();
}

void LongScreenshot::startCapture(int attempt) {
    if (closed_) return;
    Result<ShareableContent> content = env_.capture.shareableContent();
    if (!content) return fail(content.error());
    const std::optional<DisplayInfo> display = regionDisplay();
    if (!display || display->id.isEmpty() || !content.value().displayIds.contains(display->id))
        return fail(error(1));

    const Rect wanted = windowListRegion();
    std::optional<WindowListEntry> source;
    for (const WindowListEntry& entry : parseWindowList(env_.capture.windowList())) {
        if (entry.pid && *entry.pid == env_.ownPid) continue;
        if (!entry.layer || *entry.layer != 0 || !entry.bounds || !entry.number) continue;
        if (!entry.bounds->contains(wanted)) continue;
        source = entry;
        break;
    }
    if (!source) return fail(error(3));

    auto stream = LongFrameStream::create();
    if (std::optional<UserError> refused = stream->start(env_.windowStreams, *source->number)) {
        if (attempt >= kStartRetries) return fail(error(4));
        std::weak_ptr<bool> alive = alive_;
        env_.mainQueue.after(kStartRetryDelay, [this, alive, attempt] {
            if (!alive.expired()) startCapture(attempt + 1);
        });
        return;
    }
    source_ = {int(source->pid.value_or(0)), *source->number};
    sourceFrame_ = *source->bounds;
    sourceContent_ = source->content.value_or(*source->bounds);
    sourceScale_ = display->scale > 0 ? display->scale : 1.0;
    if (!display->visibleFrame.isEmpty()) visibleFrame_ = display->visibleFrame;
    const Rect& b = *source->bounds;
    const Rect globalWindow(b.minX(), primaryTop() - b.maxY(), b.width(), b.height());
    regionView_->constraint = globalWindow.intersected(screenFrame_);
    keys_.target = source_;
    keys_.start();
    activateSource();
    frameStream_ = stream;
    configureFrameStream();
    lastSourceCheck_ = env_.clock.uptime();
    scheduleLoop(0);
}

void LongScreenshot::configureFrameStream() {
    if (!frameStream_) return;
    const Rect g = windowListRegion();
    const double s = sourceScale_;
    const QRect crop(int(std::lround((g.minX() - sourceContent_.minX()) * s)),
                     int(std::lround((g.minY() - sourceContent_.minY()) * s)),
                     int(std::lround(g.width() * s)), int(std::lround(g.height() * s)));
    frameStream_->configure(crop, axis_, regionGeneration_, !paused_ && !closed_);
}

// --- the processing loop --------------------------------------------------------------------

void LongScreenshot::scheduleLoop(double delay) {
    if (closed_ || captureFailed_ || loopScheduled_ || !frameStream_) return;
    loopScheduled_ = true;
    std::weak_ptr<bool> alive = alive_;
    auto step = [this, alive] {
        if (alive.expired()) return;
        loopScheduled_ = false;
        loopStep();
    };
    if (delay <= 0)
        env_.mainQueue.async(std::move(step));
    else
        env_.mainQueue.after(delay, std::move(step));
}

void LongScreenshot::afterFrame() {
    if (closed_ || !frameStream_) return;
    const bool queued = frameStream_->queued() > 0;
    if (scroller_.active() && !paused_ && !movingRegion_ && consecutiveUnmatched_ == 0 && !queued)
        scrollAutomatically();
    scheduleLoop(!paused_ && queued ? 0 : kIdleSleep);
}

void LongScreenshot::loopStep() {
    if (closed_ || captureFailed_ || processing_ || !frameStream_) return;
    LongFrameStream& stream = *frameStream_;
    if (paused_ && stream.queued() == 0) return scheduleLoop(kIdleSleep);
    processing_ = true;
    const double now = env_.clock.uptime();
    if (now - lastSourceCheck_ >= kSourceCheckInterval) {
        lastSourceCheck_ = now;
        if (!sourceStillThere()) return fail(error(5));
    }
    if (stream.takeDropped())
        stopAutoScroll(QCoreApplication::translate(
            "LongScreenshot", "滚动过快，部分中间帧未能保留。若未接上，请稍向回滚动。"));
    if (std::optional<UserError> failure = stream.failure()) return fail(*failure);
    std::optional<LongCaptureFrame> frame = stream.takeFrame();
    if (!frame) {
        processing_ = false;
        if (std::optional<QString> stop = scroller_.observe(std::nullopt, 0)) stopAutoScroll(stop);
        if (scroller_.active() && !paused_ && !movingRegion_ && consecutiveUnmatched_ == 0)
            scrollAutomatically();
        return scheduleLoop(kIdleSleep);
    }
    if (frame->generation != regionGeneration_) {
        processing_ = false;
        return scheduleLoop(0);
    }
    ++counts_.received;
    lastFrameAt_ = env_.clock.uptime();
    if (firstFrameAt_ < 0) firstFrameAt_ = lastFrameAt_;
    if (!stitcher_) {
        firstFrame(frame->image);
        processing_ = false;
        return afterFrame();
    }
    std::shared_ptr<ScrollStitcher> stitcher = stitcher_;
    const int generation = regionGeneration_;
    const bool automaticCrop = automaticCrop_;
    const QImage image = frame->image;
    std::weak_ptr<bool> alive = alive_;
    MainQueue& mainQueue = env_.mainQueue;
    env_.appendQueue([this, alive, stitcher, generation, automaticCrop, image, &mainQueue] {
        const ScrollAppendResult result = stitcher->append(image, automaticCrop);
        mainQueue.async([this, alive, stitcher, generation, image, result] {
            if (!alive.expired()) appendDone(result, image, generation, stitcher);
        });
    });
}

void LongScreenshot::appendDone(ScrollAppendResult result, const QImage& frame, int generation,
                                const std::shared_ptr<ScrollStitcher>& stitcher) {
    processing_ = false;
    if (closed_) return;
    if (generation != regionGeneration_) {
        if (stitcher == stitcher_) refreshPreview(true);
    } else {
        handleResult(result, frame);
    }
    afterFrame();
}

bool LongScreenshot::sourceStillThere() {
    for (const WindowListEntry& entry : parseWindowList(env_.capture.windowList())) {
        if (!entry.number || *entry.number != source_.window) continue;
        if (!entry.bounds) return false;
        const Rect& b = *entry.bounds;
        return std::abs(b.minX() - sourceFrame_.minX()) < 1 &&
               std::abs(b.minY() - sourceFrame_.minY()) < 1 &&
               std::abs(b.width() - sourceFrame_.width()) < 1 &&
               std::abs(b.height() - sourceFrame_.height()) < 1;
    }
    return false;
}

void LongScreenshot::firstFrame(const QImage& frame) {
    stitcher_ = std::make_shared<ScrollStitcher>(frame, kMaximumPixels);
    firstFrameTakenAt_ = env_.clock.uptime();
    stepsBeforeFirstFrame_ = scroller_.postedCount();
    refreshPreview(true);
    controls_->editButton->setEnabled(true);
    controls_->autoButton->setEnabled(true);
    controls_->moveButton->setEnabled(true);
    if (!paused_) previewPanel_->show();
    showStatus(paused_ ? kPausedAtStart() : kCapturing());
    if (onMatchResult) onMatchResult(std::nullopt, frame);
    if (onReady) onReady();
}

void LongScreenshot::handleResult(const ScrollAppendResult& result, const QImage& frame) {
    using Kind = ScrollAppendResult::Kind;
    // A first frame that the next does not continue, before anything was scrolled, was caught
    // while something passed over the region: a panel of ours the compositor had not yet moved
    // aside (its window list may tell the new place before the screen shows it), the overlay
    // fading, the page still drawing. The capture starts again from the later frame.
    if (result.kind == Kind::unmatched && stitcher_->height() == stitcher_->viewportHeight() &&
        !stitcher_->reverseDirection() && scroller_.postedCount() == stepsBeforeFirstFrame_ &&
        env_.clock.uptime() - firstFrameTakenAt_ <= kFirstFrameSettle) {
        qCInfo(longCaptureLog)
            << "the first frame is replaced by the next, which does not continue it";
        stitcher_ = std::make_shared<ScrollStitcher>(frame, kMaximumPixels);
        refreshPreview(true);
        if (onMatchResult) onMatchResult(std::nullopt, frame);
        return;
    }
    if (onMatchResult) onMatchResult(result, frame);
    switch (result.kind) {
        case Kind::appended:
            ++counts_.appended;
            break;
        case Kind::cropped:
            ++counts_.cropped;
            break;
        case Kind::unchanged:
            ++counts_.unchanged;
            break;
        case Kind::unmatched:
            ++counts_.unmatched;
            break;
        case Kind::limit:
            break;
    }
    const LongCaptureFeedback::Outcome outcome = feedback_.record(result);
    switch (result.kind) {
        case Kind::appended:
        case Kind::cropped:
            clampCrop(stitcher_->height());
            stickyStatus_.reset();
            previewDirty_ = true;
            refreshPreview(false);
            consecutiveUnmatched_ = 0;
            break;
        case Kind::unchanged:
            if (consecutiveUnmatched_ >= 1) stickyStatus_.reset();
            consecutiveUnmatched_ = 0;
            refreshPreview(false);
            break;
        case Kind::unmatched:
            ++consecutiveUnmatched_;
            break;
        case Kind::limit:
            consecutiveUnmatched_ = 0;
            controls_->pauseButton->setEnabled(false);
            controls_->autoButton->setEnabled(false);
            break;
    }
    LongCapturePreview& preview = *previewPanel_->preview();
    preview.matched = result.kind != Kind::unmatched;
    preview.update();
    if (outcome.message && !stickyStatus_) showStatus(*outcome.message);
    if (outcome.pause) setPaused(true);
    if (std::optional<QString> stop = scroller_.observe(result.kind, consecutiveUnmatched_))
        stopAutoScroll(stop);
}

void LongScreenshot::fail(const UserError& failure) {
    processing_ = false;
    captureFailed_ = true;
    setPaused(true);
    // The loop ends here: frames of a source that failed are not stitched any more.
    if (frameStream_) {
        frameStream_->stop();
        while (frameStream_->takeFrame()) {
        }
    }
    controls_->pauseButton->setEnabled(false);
    controls_->autoButton->setEnabled(false);
    controls_->direction->setEnabled(false);
    controls_->moveButton->setEnabled(false);
    updateRegionInput();
    QString text = failure.message;
    if (stitcher_)
        text +=
            QCoreApplication::translate("LongScreenshot", " 已有内容保留，可复制、保存或编辑。");
    showStatus(text);
    if (onError) onError(failure);
}

// --- pausing, automatic scrolling -------------------------------------------------------------

void LongScreenshot::updateRegionInput() {
    regionView_->setShowsHandles(paused_ && !captureFailed_);
    if (host_) host_->refreshInput();
}

void LongScreenshot::setPaused(bool paused) {
    paused_ = paused;
    configureFrameStream();
    if (paused) {
        stopAutoScroll(std::nullopt);
        previewPanel_->hide();
    } else if (stitcher_) {
        previewPanel_->show();
    }
    updateRegionInput();
    controls_->showPaused(paused);
}

void LongScreenshot::togglePause() {
    if (closed_ || !controls_->pauseButton->isEnabled()) return;
    stickyStatus_.reset();
    feedback_.unchanged = feedback_.unmatched = 0;
    setPaused(!paused_);
    showStatus(
        paused_
            ? QCoreApplication::translate("LongScreenshot",
                                          "已停止，已有内容保留。点开始继续，或复制、保存、编辑。")
            : QCoreApplication::translate("LongScreenshot", "继续滚动原窗口，或开启自动滚动。"));
}

void LongScreenshot::stopAutoScroll(std::optional<QString> message) {
    scroller_.stop();
    controls_->autoButton->setText(QCoreApplication::translate("LongScreenshot", "自动滚动"));
    if (message) {
        stickyStatus_ = message;
        showStatus(*message);
    }
}

void LongScreenshot::toggleAutoScroll() {
    if (closed_) return;
    if (!controls_->autoButton->isEnabled()) {
        stopAutoScroll(QCoreApplication::translate(
            "LongScreenshot", "自动滚动需要辅助功能授权；仍可在原窗口手动滚动。"));
        return;
    }
    if (scroller_.active()) {
        stopAutoScroll(std::nullopt);
        showStatus(QCoreApplication::translate("LongScreenshot", "已切换手动滚动。"));
        return;
    }
    stickyStatus_.reset();
    if (paused_) setPaused(false);
    scroller_.start();
    controls_->autoButton->setText(QCoreApplication::translate("LongScreenshot", "停止自动"));
    activateSource();
    const bool vertical = axis_ == LongCaptureAxis::vertical;
    const char* status =
        vertical
            ? (captureReverseDirection_
                   ? QT_TRANSLATE_NOOP("LongScreenshot", "自动向上滚动中；空格停止，Enter 复制。")
                   : QT_TRANSLATE_NOOP("LongScreenshot", "自动向下滚动中；空格停止，Enter 复制。"))
            : (captureReverseDirection_
                   ? QT_TRANSLATE_NOOP("LongScreenshot", "自动向左滚动中；空格停止，Enter 复制。")
                   : QT_TRANSLATE_NOOP("LongScreenshot", "自动向右滚动中；空格停止，Enter 复制。"));
    showStatus(QCoreApplication::translate("LongScreenshot", status));
}

void LongScreenshot::scrollAutomatically() {
    const bool vertical = axis_ == LongCaptureAxis::vertical;
    const AutoScroller::Target target{source_,
                                      windowListRegion(),
                                      sourceFrame_,
                                      vertical ? region_.height() : region_.width(),
                                      axis_,
                                      captureReverseDirection_,
                                      controls_->speed->currentIndex(),
                                      host_ || env_.workspace.pointerPassesShapedWindows()
                                          ? Rect()
                                          : windowListRect(regionView_->globalFrame())};
    if (std::optional<QString> stop = scroller_.step(target)) stopAutoScroll(stop);
}

// --- preview, reset, direction, region ----------------------------------------------------

void LongScreenshot::clampCrop(int height) {
    cropEdges_.leading = std::max(0, std::min(cropEdges_.leading, height - 1));
    cropEdges_.trailing =
        std::max(0, std::min(cropEdges_.trailing, height - cropEdges_.leading - 1));
}

void LongScreenshot::refreshPreview(bool force) {
    if (!stitcher_) return;
    captureReverseDirection_ = stitcher_->reverseDirection();
    const int h = stitcher_->height();
    clampCrop(h);
    int width = stitcher_->width(), height = h - cropEdges_.leading - cropEdges_.trailing;
    if (axis_ == LongCaptureAxis::horizontal) std::swap(width, height);
    controls_->dimensions->setText(QStringLiteral("%1 × %2 px").arg(width).arg(height));
    const double now = env_.clock.uptime();
    if (!force && (!previewDirty_ || now - lastPreviewRefresh_ < kPreviewInterval)) return;
    previewDirty_ = false;
    lastPreviewRefresh_ = now;
    LongCapturePreview& preview = *previewPanel_->preview();
    preview.viewportFraction = h > 0 ? double(stitcher_->viewportHeight()) / h : 1.0;
    preview.reverseDirection = stitcher_->reverseDirection();
    preview.horizontal = axis_ == LongCaptureAxis::horizontal;
    preview.leadingCrop = h > 0 ? double(cropEdges_.leading) / h : 0;
    preview.trailingCrop = h > 0 ? double(cropEdges_.trailing) / h : 0;
    preview.image = restoreAxis(axis_, stitcher_->image(true, previewPanel_->height()));
    preview.update();
}

void LongScreenshot::resetResult() {
    ++regionGeneration_;
    consecutiveUnmatched_ = 0;
    captureReverseDirection_ = false;
    stitcher_.reset();
    feedback_ = LongCaptureFeedback{};
    cropEdges_ = {};
    controls_->editButton->setEnabled(false);
    controls_->autoButton->setEnabled(false);
    controls_->pauseButton->setEnabled(true);
    LongCapturePreview& preview = *previewPanel_->preview();
    preview.image = QImage();
    preview.matched = true;
    preview.update();
    previewPanel_->hide();
    controls_->dimensions->setText(QCoreApplication::translate("LongScreenshot", "等待开始"));
    configureFrameStream();
}

void LongScreenshot::changeDirection() {
    if (closed_) return;
    setPaused(true);
    axis_ = controls_->direction->currentIndex() == 1 ? LongCaptureAxis::horizontal
                                                      : LongCaptureAxis::vertical;
    resetResult();
    showStatus(QCoreApplication::translate("LongScreenshot", "方向已切换，点开始截取。"));
}

void LongScreenshot::setDirection(LongCaptureAxis axis) {
    controls_->direction->setCurrentIndex(axis == LongCaptureAxis::horizontal ? 1 : 0);
    changeDirection();
}

void LongScreenshot::toggleAutomaticCrop(bool on) {
    automaticCrop_ = on;
}

void LongScreenshot::beginMove() {
    movingRegion_ = true;
    stopAutoScroll(std::nullopt);
    moveOrigin_ = regionView_->globalRect();
}

void LongScreenshot::endMove() {
    movingRegion_ = false;
}

void LongScreenshot::moveCaptureRegion(Point delta) {
    if (captureFailed_ || regionView_->constraint.isEmpty()) return;
    const Rect base = movingRegion_ ? moveOrigin_ : regionView_->globalRect();
    if (!paused_) {
        if (axis_ == LongCaptureAxis::vertical)
            delta.x = 0;
        else
            delta.y = 0;
    }
    applyRegion(adjusted(SelectionHandle::move, base, delta, regionView_->constraint, false),
                paused_);
}

void LongScreenshot::adjustRegion(const Rect& rect) {
    if (!paused_ || captureFailed_) return;
    const Rect r = rect.intersected(regionView_->constraint);
    if (r.isNull() || r.width() < 30 || r.height() < 30 || r == regionView_->globalRect()) return;
    applyRegion(r, true);
}

void LongScreenshot::applyRegion(const Rect& global, bool restart) {
    if (global == regionView_->globalRect()) return;
    region_ = global.offsetBy(-screenFrame_.minX(), -screenFrame_.minY());
    regionView_->setGlobalRect(global);
    if (!restart) {
        ++regionGeneration_;
        configureFrameStream();
    } else {
        resetResult();
    }
    placeWindows();
    showStatus(
        restart
            ? QCoreApplication::translate("LongScreenshot", "选区已调整，点开始重新截取。")
            : QCoreApplication::translate("LongScreenshot", "正在沿截图方向延伸，已有内容保留。"));
}

// --- closing -------------------------------------------------------------------------------

void LongScreenshot::requestClose() {
    if (encoding_) {
        showStatus(QCoreApplication::translate("LongScreenshot", "正在生成图片，完成后再关闭。"));
        return;
    }
    close();
}

void LongScreenshot::close() {
    if (closed_) return;
    closed_ = true;
    stopAutoScroll(std::nullopt);
    keys_.stop();
    controls_->moveButton->endDrag();
    previewPanel_->hide();
    regionView_->hide();
    controls_->hide();
    if (host_) host_->hide();
    if (frameStream_) frameStream_->stop();
    frameStream_.reset();
    processing_ = false;
    heartbeat_.reset();
    const double span = lastFrameAt_ - firstFrameAt_;
    qCInfo(longCaptureLog,
           "long capture closed: %d frames, %d appended, %d cropped, %d unchanged, %d unmatched, "
           "%d scroll steps, result %s; %.1f frames a second over %.1f s, main thread worst turn "
           "%lld ms",
           counts_.received, counts_.appended, counts_.cropped, counts_.unchanged,
           counts_.unmatched, scroller_.postedCount(), qPrintable(dimensions()),
           span > 0 ? (counts_.received - 1) / span : 0.0, std::max(span, 0.0),
           static_cast<long long>(worstTurnMs_));
    if (onClose) onClose();
}

}  // namespace tessal
