#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <future>
#include <random>
#include <thread>

#include "annotation/ToolbarButtons.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "longcapture/LongCaptureControlWindow.h"
#include "longcapture/LongCaptureCropView.h"
#include "longcapture/LongCaptureMoveButton.h"
#include "longcapture/LongCapturePanelHost.h"
#include "longcapture/LongCapturePreview.h"
#include "longcapture/LongCaptureRegionView.h"
#include "longcapture/LongScreenshot.h"
#include "platform/KeyCodes.h"
#include "platform/fake/FakePlatform.h"

using namespace tessal;

namespace {

constexpr unsigned kSource = 42;
constexpr int kSourcePid = 500;
constexpr int kOwnPid = 77;

// A window's content scrolled to `offset` of a tall document with rows that all differ.
QImage documentAt(int offset, int seed = 1) {
    static std::map<int, QImage> documents;
    QImage& document = documents[seed];
    if (document.isNull()) {
        document = QImage(600, 3000, QImage::Format_RGB32);
        document.fill(Qt::white);
        QPainter p(&document);
        std::mt19937 random(seed);
        for (int y = 0; y < 3000; y += 12)
            p.fillRect(20 + random() % 300, y + 2, 40 + random() % 200, 8,
                       QColor(random() % 200, random() % 200, random() % 200));
    }
    return document.copy(0, offset, 600, 500);
}

// A left-button press, drag or release at `at` in the widget.
void mouse(QWidget* widget, QEvent::Type type, QPointF at) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
    QApplication::sendEvent(widget, &event);
}

QVariantMap window(unsigned number, int pid, const Rect& bounds, int layer = 0) {
    const QVariantMap rect{{"x", bounds.minX()},
                           {"y", bounds.minY()},
                           {"width", bounds.width()},
                           {"height", bounds.height()}};
    return {
        {"number", number}, {"pid", pid}, {"layer", layer}, {"bounds", rect}, {"content", rect}};
}

}  // namespace

class LongScreenshotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake.capture->addDisplay("d1", Rect(0, 0, 1280, 800));
        fake.capture->windows = {window(kSource, kSourcePid, Rect(100, 100, 600, 500))};
        fake.workspace->frontmostPid = kSourcePid;
    }

    // The region (window-list x 150…550, y 200…500) inside the source window.
    std::unique_ptr<LongScreenshot> make(Rect region = Rect(150, 300, 400, 300)) {
        LongCaptureEnvironment environment{
            queue,
            clock,
            *fake.pasteboard,
            defaults,
            *fake.capture,
            *fake.windowStreams,
            *fake.workspace,
            kOwnPid,
            [](std::function<void()> work) { work(); },
            [this] { return savePath; },
            [this](const QImage& image, LongCaptureAxis, LongCaptureCrop crop) {
                trimImageHeight = image.height();
                trimShownWith = crop;
                return trimAnswer;
            },
            nullptr,
            [this](const AlertSpec& alert) { alerts << alert.message; },
            nullptr};
        auto capture =
            std::make_unique<LongScreenshot>(Rect(0, 0, 1280, 800), region, std::move(environment));
        capture->onError = [this](const UserError& e) { errors.push_back(e.code); };
        capture->onClose = [this] { ++closes; };
        capture->onPin = [this](const EncodedImage& image) {
            pinned = image.png;
            pinnedImage = image.image;
            return pinAccepted;
        };
        return capture;
    }

    // Starts a capture and hands it its first frame.
    std::unique_ptr<LongScreenshot> started() {
        auto capture = make();
        capture->start();
        queue.runPending();
        frame(0);
        return capture;
    }

    // The source shows the document at `offset`; the capture handles what arrived.
    void frame(int offset, int seed = 1) {
        fake.windowStreams->push(documentAt(offset, seed));
        queue.advance(0.01);
    }

    // Lets an export finish: the main thread's part, the PNG worker's, then the main thread's.
    void exported() {
        queue.advance(0.05);
        SerialQueue::named("local.ostrel.png").flush();
        queue.advance(0.01);
    }

    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePlatform fake;
    std::optional<QString> savePath;
    LongCaptureTrimAnswer trimAnswer;
    int trimImageHeight = 0;
    LongCaptureCrop trimShownWith;
    std::vector<int> errors;
    QStringList alerts;
    int closes = 0;
    QByteArray pinned;
    QImage pinnedImage;
    bool pinAccepted = true;
};

TEST_F(LongScreenshotTest, StartFindsTheWindowOrSaysWhyNot) {
    auto capture = make();
    EXPECT_EQ(capture->status(), "正在连接滚动窗口…");
    EXPECT_EQ(capture->dimensions(), "准备截取");
    EXPECT_FALSE(capture->controls().autoButton->isEnabled());
    capture->start();
    EXPECT_EQ(capture->sourceWindowID(), kSource);
    EXPECT_EQ(capture->sourcePID(), kSourcePid);
    EXPECT_EQ(fake.workspace->activated, (std::vector<WindowOwner>{{kSourcePid, kSource}}));
    ASSERT_TRUE(fake.workspace->tap);
    EXPECT_EQ(fake.workspace->tap->target, (WindowOwner{kSourcePid, kSource}));
    // The region can only move inside the window (global, y up).
    EXPECT_EQ(capture->regionView().constraint, Rect(100, 200, 600, 500));

    // Across two windows, or on the desktop: code 3. Our own windows in front do not count.
    fake.capture->windows = {window(9, kOwnPid, Rect(0, 0, 1280, 800)),
                             window(kSource, kSourcePid, Rect(100, 100, 300, 500)),
                             window(43, kSourcePid, Rect(400, 100, 300, 500))};
    auto straddling = make();
    straddling->start();
    EXPECT_EQ(errors, std::vector<int>{3});
    EXPECT_EQ(straddling->status(), "请在一个窗口内部框选可滚动内容。 ");
    EXPECT_TRUE(straddling->captureFailed());
    EXPECT_FALSE(straddling->controls().pauseButton->isEnabled());

    // A display that went away: code 1.
    fake.capture->windows = {window(kSource, kSourcePid, Rect(100, 100, 600, 500))};
    fake.capture->shareableIds.clear();
    auto unplugged = make();
    unplugged->start();
    EXPECT_EQ(errors.back(), 1);

    // A window whose stream will not start is asked for five more times, 0.2 s apart: code 4.
    fake.capture->shareableIds << "d1";
    fake.windowStreams->refused[kSource] = QImage();
    const int before = fake.windowStreams->starts;
    auto unready = make();
    unready->start();
    queue.advance(0.9);
    EXPECT_EQ(errors.back(), 1);
    queue.advance(0.2);
    EXPECT_EQ(errors.back(), 4);
    EXPECT_EQ(fake.windowStreams->starts - before, 6);
    EXPECT_EQ(unready->status(), "目标窗口尚未准备好，请取消后重新选择。 ");
}

// Where frames are read from the screen, a panel of ours that the compositor first put over the
// region would be in them: the stream starts once the window list shows every panel aside, and
// after a while regardless.
TEST_F(LongScreenshotTest, FramesReadFromTheScreenWaitForOurPanelsToLeaveTheRegion) {
    fake.windowStreams->covering = true;
    const Rect ring(140, 190, 420, 320);  // holds the region whole
    fake.capture->windows = {window(91, kOwnPid, ring),
                             window(kSource, kSourcePid, Rect(100, 100, 600, 500))};
    auto capture = make();
    capture->start();
    // Every panel maps before the wait, the preview too, so that none comes over the region
    // once frames are read.
    EXPECT_TRUE(capture->previewPanel().isVisible());
    const QSize controls = capture->controls().frameGeometry().size();
    const QSize preview = capture->previewPanel().frameGeometry().size();
    auto at = [](int x, int y, QSize size) { return Rect(x, y, size.width(), size.height()); };
    // Not mapped yet, then mapped where the compositor puts new windows: over the region.
    queue.advance(1);
    EXPECT_EQ(fake.windowStreams->starts, 0);
    fake.capture->windows.push_back(window(90, kOwnPid, at(300, 350, controls)));
    fake.capture->windows.push_back(window(92, kOwnPid, at(800, 100, preview)));
    queue.advance(0.5);
    EXPECT_EQ(fake.windowStreams->starts, 0);
    // A window of ours of another size aside (a pin) is not a panel.
    fake.capture->windows[2] = window(90, kOwnPid, at(800, 400, QSize(33, 33)));
    queue.advance(0.5);
    EXPECT_EQ(fake.windowStreams->starts, 0);
    fake.capture->windows[2] = window(90, kOwnPid, at(800, 400, controls));
    queue.advance(0.1);
    EXPECT_EQ(fake.windowStreams->starts, 1);

    // A panel that never leaves does not keep the capture from starting.
    fake.capture->windows[2] = window(90, kOwnPid, at(300, 350, controls));
    auto stuck = make();
    stuck->start();
    queue.advance(2);
    EXPECT_EQ(fake.windowStreams->starts, 1);
    queue.advance(2);
    EXPECT_EQ(fake.windowStreams->starts, 2);
}

TEST_F(LongScreenshotTest, FramesStitchWithTheirMessages) {
    auto capture = make();
    int ready = 0;
    std::vector<std::optional<ScrollAppendResult::Kind>> results;
    capture->onReady = [&] { ++ready; };
    capture->onMatchResult = [&](std::optional<ScrollAppendResult> r, const QImage&) {
        results.push_back(r ? std::optional(r->kind) : std::nullopt);
    };
    capture->start();
    queue.runPending();
    frame(0);
    EXPECT_EQ(ready, 1);
    EXPECT_EQ(capture->status(), "滚动原窗口，或点“自动滚动”。空格停止，Enter 复制，Esc 关闭。");
    EXPECT_EQ(capture->dimensions(), "400 × 300 px");
    EXPECT_TRUE(capture->controls().autoButton->isEnabled());
    EXPECT_TRUE(capture->previewPanel().isVisible());

    frame(60);
    EXPECT_EQ(capture->status(), "已拼接。继续滚动，或直接复制、保存。");
    EXPECT_EQ(capture->dimensions(), "400 × 360 px");
    EXPECT_EQ(capture->feedback().segments, 2);

    // A frame from elsewhere: unmatched, the preview box turns red; back in place: recovered.
    frame(0, 2);
    EXPECT_EQ(capture->status(),
              "尚未匹配，已有内容已保留。请沿刚才滚动的反方向稍作回滚；预览红框表示匹配中断。");
    EXPECT_FALSE(capture->previewPanel().preview()->matched);
    frame(60);
    EXPECT_EQ(capture->status(), "已回到匹配位置，可继续滚动。");
    EXPECT_TRUE(capture->previewPanel().preview()->matched);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0], std::nullopt);
    EXPECT_EQ(results[1], ScrollAppendResult::Kind::appended);
    EXPECT_EQ(results[2], ScrollAppendResult::Kind::unmatched);
    EXPECT_EQ(results[3], ScrollAppendResult::Kind::unchanged);
}

TEST_F(LongScreenshotTest, AFirstFrameTheNextDoesNotContinueIsReplacedAtOnceOnly) {
    // Right after the start, before any scrolling: the first frame showed something passing over
    // the region, and the capture starts again from the next.
    auto capture = started();
    frame(0, 2);
    frame(60, 2);  // continues the second frame, not the first
    EXPECT_EQ(capture->dimensions(), "400 × 360 px");
    EXPECT_EQ(capture->counts().unmatched, 0);

    // Later, such a frame is only not matched: what was captured stays.
    auto later = started();
    queue.advance(1.1);
    frame(0, 2);
    EXPECT_EQ(later->counts().unmatched, 1);
    frame(60);
    EXPECT_EQ(later->dimensions(), "400 × 360 px");
}

TEST_F(LongScreenshotTest, AutomaticScrollingStepsAndStops) {
    auto capture = started();
    capture->toggleAutoScroll();
    // The desktop readies its wheel meanwhile (GNOME adds a pointer first).
    EXPECT_EQ(fake.workspace->scrollPreparations, 1);
    EXPECT_EQ(capture->status(), "自动向下滚动中；空格停止，Enter 复制。");
    EXPECT_EQ(capture->controls().autoButton->text(), "停止自动");
    queue.advance(0.25);
    EXPECT_TRUE(fake.workspace->scrolls.empty());  // 0.3 s after switching on
    queue.advance(0.1);
    ASSERT_EQ(fake.workspace->scrolls.size(), 1u);
    // The middle probe; 300 points × 0.1 = 30 points: one notch, downwards.
    EXPECT_EQ(fake.workspace->scrolls[0].point, (Point{350, 350}));
    EXPECT_EQ(fake.workspace->scrolls[0].notches, 1);
    EXPECT_FALSE(fake.workspace->scrolls[0].horizontal);
    // One step in flight until it shows.
    queue.advance(0.6);
    EXPECT_EQ(fake.workspace->scrolls.size(), 1u);
    frame(50);
    queue.advance(0.35);
    EXPECT_EQ(fake.workspace->scrolls.size(), 2u);
    EXPECT_EQ(capture->autoPostedCount(), 2);

    // Nothing new: the step is sent once more after a second (the desktop may have lost it),
    // then 2 s more: stopped, and the message stays over later progress messages.
    queue.advance(1.05);
    EXPECT_EQ(fake.workspace->scrolls.size(), 3u);
    EXPECT_TRUE(capture->autoScrolling());
    queue.advance(2.1);
    EXPECT_FALSE(capture->autoScrolling());
    EXPECT_EQ(capture->status(), "画面未变化，自动滚动已停止。可手动继续，或直接复制。");
    frame(50);
    frame(50);
    frame(50);
    frame(50);
    EXPECT_EQ(capture->status(), "画面未变化，自动滚动已停止。可手动继续，或直接复制。");
    frame(100);  // progress clears it
    EXPECT_EQ(capture->status(), "已拼接。继续滚动，或直接复制、保存。");

    // Another application in front.
    capture->toggleAutoScroll();
    fake.workspace->frontmostPid = 900;
    queue.advance(0.35);
    EXPECT_FALSE(capture->autoScrolling());
    EXPECT_EQ(capture->status(), "已切换应用，自动滚动停止。");
    fake.workspace->frontmostPid = kSourcePid;

    // Covered in the middle: the left probe is used; our own panel over the middle is skipped
    // even where the window list shows the source there.
    const std::size_t posted = fake.workspace->scrolls.size();
    fake.capture->windows.prepend(window(7, 600, Rect(300, 300, 100, 100)));
    capture->toggleAutoScroll();
    queue.advance(0.35);
    ASSERT_EQ(fake.workspace->scrolls.size(), posted + 1);
    EXPECT_EQ(fake.workspace->scrolls.back().point, (Point{250, 350}));
    frame(150);
    fake.capture->windows.removeFirst();
    capture->previewPanel().setGeometry(QRect(340, 340, 20, 20));
    queue.advance(0.35);
    EXPECT_EQ(fake.workspace->scrolls.back().point, (Point{250, 350}));
    frame(200);
    // Covered at all three probes.
    fake.capture->windows.prepend(window(8, 600, Rect(100, 100, 600, 500)));
    queue.advance(0.35);
    EXPECT_FALSE(capture->autoScrolling());
    EXPECT_EQ(capture->status(), "目标区域被遮挡，自动滚动停止。");
    fake.capture->windows.removeFirst();

    // Five unmatched frames in a row.
    capture->toggleAutoScroll();
    for (int i = 0; i < 5; ++i) frame(i * 40, 3 + i);
    EXPECT_FALSE(capture->autoScrolling());
    EXPECT_EQ(capture->status(),
              "自动滚动已停止。请沿刚才滚动的反方向稍作回滚，匹配恢复后可继续。");
}

TEST_F(LongScreenshotTest, AutomaticScrollingKeepsTheDirectionOfTheCapture) {
    // Scrolled up by hand first: the capture runs upwards, and so does the wheel.
    auto capture = make();
    capture->start();
    queue.runPending();
    frame(600);
    frame(540);
    capture->toggleAutoScroll();
    EXPECT_EQ(capture->status(), "自动向上滚动中；空格停止，Enter 复制。");
    queue.advance(0.35);
    ASSERT_EQ(fake.workspace->scrolls.size(), 1u);
    EXPECT_EQ(fake.workspace->scrolls[0].notches, -1);
    EXPECT_FALSE(fake.workspace->scrolls[0].horizontal);
    frame(480);
    queue.advance(0.35);
    ASSERT_EQ(fake.workspace->scrolls.size(), 2u);
    EXPECT_EQ(fake.workspace->scrolls[1].notches, -1);
}

TEST_F(LongScreenshotTest, ASourceWithoutAKnownProcessIsFollowedByItsWindow) {
    QVariantMap anonymous = window(kSource, kSourcePid, Rect(100, 100, 600, 500));
    anonymous.remove("pid");
    fake.capture->windows = {anonymous};
    fake.workspace->frontmostPid = 0;
    fake.workspace->frontmostWindow = kSource;
    auto capture = started();
    EXPECT_EQ(capture->sourcePID(), 0);
    EXPECT_EQ(fake.workspace->activated, (std::vector<WindowOwner>{{0, kSource}}));
    ASSERT_TRUE(fake.workspace->tap);
    EXPECT_EQ(fake.workspace->tap->target, (WindowOwner{0, kSource}));

    capture->toggleAutoScroll();
    queue.advance(0.35);
    ASSERT_EQ(fake.workspace->scrolls.size(), 1u);
    frame(50);
    queue.advance(0.35);
    EXPECT_EQ(fake.workspace->scrolls.size(), 2u);

    // Another window in front, or wheel turns that cannot be posted: stopped, with the reason.
    frame(100);
    fake.workspace->frontmostWindow = 43;
    queue.advance(0.35);
    EXPECT_FALSE(capture->autoScrolling());
    EXPECT_EQ(capture->status(), "已切换应用，自动滚动停止。");
    fake.workspace->frontmostWindow = kSource;
    fake.workspace->scrollRefused = true;
    capture->toggleAutoScroll();
    queue.advance(0.35);
    EXPECT_FALSE(capture->autoScrolling());
    EXPECT_EQ(capture->status(), "无法向原窗口发送滚动，自动滚动停止；仍可手动滚动。");
}

namespace {
QStringList informed;
void keepInformation(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtInfoMsg || type == QtDebugMsg) informed << message;
}
}  // namespace

TEST_F(LongScreenshotTest, ARunLogsNothing) {
    informed.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepInformation);
    {
        auto capture = started();
        frame(60);
        capture->close();
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(informed, QStringList());
}

TEST_F(LongScreenshotTest, PinAndSaveMakeTheirPngOnTheWorker) {
    savePath = dir.filePath("long.png");
    for (const bool pin : {true, false}) {
        closes = 0;
        pinned.clear();
        auto capture = started();
        frame(60);
        // The PNG worker is busy: the export waits for it, the main thread does not.
        std::promise<void> gate;
        SerialQueue::named("local.ostrel.png").async([until = gate.get_future().share()] {
            until.wait();
        });
        if (pin)
            capture->pinCurrent();
        else
            capture->saveCurrent();
        queue.advance(0.05);
        const bool waited = pinned.isEmpty() && !QFile::exists(*savePath) && closes == 0;
        capture->copyCurrent();   // one export at a time
        capture->requestClose();  // nor is the image thrown away before it is made
        queue.advance(0.05);
        EXPECT_EQ(closes, 0);
        EXPECT_EQ(capture->status(), "正在生成图片，完成后再关闭。");
        gate.set_value();
        EXPECT_TRUE(waited) << (pin ? "pin" : "save") << " made its PNG on the main thread";
        exported();
        EXPECT_EQ(closes, 1);
        EXPECT_TRUE(fake.pasteboard->png.isEmpty());
        const QImage made = pin ? QImage::fromData(pinned) : QImage(*savePath);
        EXPECT_EQ(made.size(), QSize(400, 360)) << (pin ? "pin" : "save");
        if (pin) {
            EXPECT_EQ(pinnedImage.size(), made.size()) << "the pin gets its pixels as well";
        }
    }
}

TEST_F(LongScreenshotTest, MovingTheRegionExtendsWhileCapturingAndRestartsWhilePaused) {
    auto capture = started();
    frame(60);
    const ScrollStitcher* stitcher = capture->stitcher();
    const int generation = capture->regionGeneration();
    capture->beginMove();
    capture->moveCaptureRegion({25, -40});  // only along the axis while capturing
    capture->endMove();
    EXPECT_EQ(capture->regionView().globalRect(), Rect(150, 260, 400, 300));
    EXPECT_EQ(capture->stitcher(), stitcher);
    EXPECT_EQ(capture->regionGeneration(), generation + 1);
    EXPECT_EQ(capture->status(), "正在沿截图方向延伸，已有内容保留。");

    capture->togglePause();
    EXPECT_TRUE(capture->regionView().showsHandles());
    capture->moveCaptureRegion({25, 0});
    EXPECT_EQ(capture->regionView().globalRect(), Rect(175, 260, 400, 300));
    EXPECT_EQ(capture->stitcher(), nullptr);
    EXPECT_EQ(capture->dimensions(), "等待开始");
    EXPECT_EQ(capture->status(), "选区已调整，点开始重新截取。");
    // Handles: smaller than 30 points is refused; inside the window it applies.
    capture->adjustRegion(Rect(175, 260, 20, 300));
    EXPECT_EQ(capture->regionView().globalRect(), Rect(175, 260, 400, 300));
    capture->adjustRegion(Rect(175, 260, 300, 300));
    EXPECT_EQ(capture->regionView().globalRect(), Rect(175, 260, 300, 300));
}

TEST_F(LongScreenshotTest, AMovedResizedOrClosedSourceStopsTheCaptureAndKeepsTheResult) {
    const Rect original(100, 100, 600, 500);
    struct Case {
        const char* name;
        std::optional<Rect> now;  // none: the window is gone
    };
    const Case cases[] = {
        {"moved right", Rect(101, 100, 600, 500)}, {"moved up", Rect(100, 99, 600, 500)},
        {"narrower", Rect(100, 100, 599, 500)},    {"taller", Rect(100, 100, 600, 501)},
        {"shorter", Rect(100, 100, 600, 499)},     {"closed", std::nullopt}};
    for (const Case& c : cases) {
        fake.capture->windows = {window(kSource, kSourcePid, original)};
        errors.clear();
        closes = 0;
        auto capture = started();
        frame(60);
        fake.capture->windows = {c.now ? window(kSource, kSourcePid, *c.now)
                                       : window(kSource + 1, kSourcePid, original)};
        queue.advance(0.2);
        EXPECT_EQ(errors, std::vector<int>{5}) << c.name;
        EXPECT_EQ(capture->status(),
                  "目标窗口已移动、缩放或关闭。 已有内容保留，可复制、保存或编辑。")
            << c.name;
        EXPECT_FALSE(capture->regionView().showsHandles()) << c.name;
        EXPECT_FALSE(capture->controls().moveButton->isEnabled()) << c.name;
        capture->copyCurrent();
        queue.advance(0.05);
        EXPECT_EQ(QImage::fromData(fake.pasteboard->png).size(), QSize(400, 360)) << c.name;
        EXPECT_EQ(closes, 1) << c.name;
    }
}

TEST_F(LongScreenshotTest, ReturnExportsEveryFrameAlreadyReceived) {
    auto capture = started();
    // Frames arrive faster than the stream's queue runs: Return comes while all three are
    // still in flight there, not yet in the buffer.
    std::promise<void> gate;
    fake.windowStreams->hold(gate.get_future().share());
    fake.windowStreams->post(documentAt(60));
    fake.windowStreams->post(documentAt(120));
    fake.windowStreams->post(documentAt(180));
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        gate.set_value();
    });
    ASSERT_TRUE(fake.workspace->pressKey(KeyCode::returnKey));
    opener.join();
    EXPECT_FALSE(fake.workspace->tap);  // keys are let go while exporting
    queue.advance(0.1);
    EXPECT_EQ(QImage::fromData(fake.pasteboard->png).size(), QSize(400, 480));
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(capture->controls().isVisible());
    EXPECT_FALSE(capture->regionView().isVisible());
}

TEST_F(LongScreenshotTest, ExportsWithoutAResultAndTheirFailures) {
    auto capture = make();
    capture->start();
    capture->copyCurrent();
    EXPECT_EQ(capture->status(), "正在准备画面，请稍候。");
    EXPECT_EQ(closes, 0);
    queue.runPending();
    frame(0);

    pinAccepted = false;
    capture->pinCurrent();
    exported();
    EXPECT_EQ(capture->status(), "无法创建贴图，已有内容保留。");
    EXPECT_TRUE(capture->paused());
    EXPECT_FALSE(pinned.isEmpty());

    savePath = dir.filePath("missing/long.png");
    capture->saveCurrent();
    exported();
    EXPECT_TRUE(capture->status().startsWith("保存失败："));
    EXPECT_EQ(closes, 0);

    savePath = dir.filePath("long.png");
    capture->saveCurrent();
    exported();
    EXPECT_EQ(QImage(dir.filePath("long.png")).size(), QSize(400, 300));
    EXPECT_EQ(closes, 1);
}

TEST_F(LongScreenshotTest, TrimValues) {
    EXPECT_EQ(LongScreenshot::parseTrim("0", "0", 300), (LongCaptureCrop{0, 0}));
    EXPECT_EQ(LongScreenshot::parseTrim("299", "0", 300), (LongCaptureCrop{299, 0}));
    EXPECT_EQ(LongScreenshot::parseTrim(" 10", "289 ", 300), (LongCaptureCrop{10, 289}));
    EXPECT_FALSE(LongScreenshot::parseTrim("300", "0", 300));
    EXPECT_FALSE(LongScreenshot::parseTrim("10", "290", 300));
    EXPECT_FALSE(LongScreenshot::parseTrim("-1", "0", 300));
    EXPECT_FALSE(LongScreenshot::parseTrim("1e2", "0", 300));
    EXPECT_FALSE(LongScreenshot::parseTrim("", "0", 300));

    auto capture = started();
    frame(60);
    trimAnswer = {LongCaptureTrimAnswer::Button::apply, "20", "40"};
    capture->cropCurrent();
    queue.advance(0.05);
    EXPECT_EQ(trimImageHeight, 360);
    EXPECT_EQ(capture->cropEdges(), (LongCaptureCrop{20, 40}));
    EXPECT_EQ(capture->dimensions(), "400 × 300 px");
    EXPECT_TRUE(fake.workspace->tap);  // keys back after the dialog

    trimAnswer = {LongCaptureTrimAnswer::Button::apply, "360", "0"};
    capture->cropCurrent();
    queue.advance(0.05);
    EXPECT_EQ(trimShownWith, (LongCaptureCrop{20, 40}));
    EXPECT_EQ(capture->status(), "裁剪值无效，已保留原图。");
    EXPECT_EQ(capture->cropEdges(), (LongCaptureCrop{20, 40}));

    trimAnswer = {LongCaptureTrimAnswer::Button::restore, "", ""};
    capture->cropCurrent();
    queue.advance(0.05);
    EXPECT_EQ(capture->cropEdges(), (LongCaptureCrop{0, 0}));
    trimAnswer = {LongCaptureTrimAnswer::Button::apply, "20", "40"};
    capture->cropCurrent();
    queue.advance(0.05);
    capture->copyCurrent();
    queue.advance(0.05);
    // The region starts 100 rows and 50 columns into the window, whose frames showed the
    // document from row 0 and row 60: the result holds rows 100 … 459, the trim keeps 120 … 419.
    const QImage copied = QImage::fromData(fake.pasteboard->png);
    EXPECT_EQ(copied.size(), QSize(400, 300));
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              documentAt(120).copy(50, 0, 400, 300).convertToFormat(QImage::Format_RGB32));
}

TEST_F(LongScreenshotTest, KeysPauseOnceCopyAndClose) {
    auto capture = started();
    // Held Space: one press, then repeats.
    fake.workspace->pressKey(KeyCode::space);
    fake.workspace->pressKey(KeyCode::space, true);
    fake.workspace->pressKey(KeyCode::space, true);
    EXPECT_TRUE(capture->paused());
    EXPECT_EQ(capture->status(), "已停止，已有内容保留。点开始继续，或复制、保存、编辑。");
    EXPECT_FALSE(capture->previewPanel().isVisible());
    fake.workspace->pressKey(KeyCode::space);
    EXPECT_FALSE(capture->paused());
    EXPECT_EQ(capture->status(), "继续滚动原窗口，或开启自动滚动。");

    // Direction change resets and waits.
    capture->setDirection(LongCaptureAxis::horizontal);
    EXPECT_TRUE(capture->paused());
    EXPECT_EQ(capture->stitcher(), nullptr);
    EXPECT_EQ(capture->status(), "方向已切换，点开始截取。");

    fake.workspace->pressKey(KeyCode::escape);
    EXPECT_TRUE(capture->closed());
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(fake.workspace->tap);
    EXPECT_FALSE(fake.windowStreams->running());
    capture->close();
    EXPECT_EQ(closes, 1);
}

TEST(LongCaptureViews, CropLinesStopOneRowBeforeEachOther) {
    QImage image(100, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    LongCaptureCropView view(image, LongCaptureAxis::vertical, {0, 0});
    std::vector<LongCaptureCrop> changes;
    view.onChange = [&](LongCaptureCrop c) { changes.push_back(c); };
    const QRectF r = view.imageRect();
    // Pressing near the top picks the leading line; dragging it past the bottom stops short.
    mouse(&view, QEvent::MouseButtonPress, QPointF(50, r.top() + 2));
    mouse(&view, QEvent::MouseMove, QPointF(50, r.bottom() + 30));
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(view.crop(), (LongCaptureCrop{999, 0}));
    mouse(&view, QEvent::MouseButtonRelease, QPointF(50, r.bottom() + 30));
    // Now the trailing line is nearer the bottom and cannot pass the leading one either.
    view.setCrop({500, 0});
    mouse(&view, QEvent::MouseButtonPress, QPointF(50, r.bottom() - 1));
    mouse(&view, QEvent::MouseMove, QPointF(50, r.top()));
    EXPECT_EQ(view.crop(), (LongCaptureCrop{500, 499}));
}

TEST(LongCaptureViews, MoveButtonReportsDeltasFromTheStartOfTheDrag) {
    QWidget parent;
    parent.resize(100, 100);
    auto* button = new LongCaptureMoveButton(&parent);
    button->setGeometry(10, 10, 30, 30);
    parent.show();
    std::vector<Point> deltas;
    int begins = 0, ends = 0;
    button->onBegin = [&] { ++begins; };
    button->onMove = [&](Point d) { deltas.push_back(d); };
    button->onEnd = [&] { ++ends; };
    mouse(button, QEvent::MouseButtonPress, QPoint(5, 5));
    mouse(button, QEvent::MouseMove, QPoint(5, 25));
    mouse(button, QEvent::MouseMove, QPoint(5, 45));
    mouse(button, QEvent::MouseButtonRelease, QPoint(5, 45));
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
    ASSERT_EQ(deltas.size(), 3u);
    EXPECT_EQ(deltas[0], (Point{0, -20}));  // y up: dragging down is negative
    EXPECT_EQ(deltas[1], (Point{0, -40}));
    EXPECT_EQ(deltas[2], (Point{0, -40}));
}

// The control window never takes the focus, so Qt would keep its tooltips to itself: the buttons
// that show only an icon say what they do while another window is active, and the speed box is
// labelled beside it.
TEST(LongCaptureViews, TheControlWindowExplainsItselfWithoutTheFocus) {
    LongCaptureControlWindow control;
    control.show();
    QApplication::processEvents();

    // Qt shows a tooltip on hover only for the active window or one that asks for them always.
    EXPECT_TRUE(control.testAttribute(Qt::WA_AlwaysShowToolTips));
    for (QWidget* button : std::initializer_list<QWidget*>{
             control.pauseButton, control.trimButton, control.editButton, control.pinButton,
             control.saveButton, control.closeButton, control.copyButton})
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->accessibleName().toStdString();

    QLabel* speedLabel = nullptr;
    for (QLabel* label : control.findChildren<QLabel*>())
        if (label->buddy() == control.speed) speedLabel = label;
    ASSERT_NE(speedLabel, nullptr);
    EXPECT_EQ(speedLabel->text(), "速度");
    EXPECT_TRUE(speedLabel->isVisibleTo(&control));
    EXPECT_LT(speedLabel->geometry().right(), control.speed->geometry().left());
}

// Where the compositor gives our windows the pointer over their whole rectangles (sway), a wheel
// turned inside the region would reach our frame around it, never the source: it turns just
// outside that frame, where no window of ours is listed.
TEST_F(LongScreenshotTest, WhereOurWindowsTakeThePointerTheWheelTurnsBesideOurFrame) {
    // The region's frame: window-list x 145…555, y 195…505.
    const Rect frame(145, 195, 410, 310);
    struct Case {
        const char* what;
        bool passesPointer;
        std::vector<Rect> ours;  // besides the frame
        std::optional<Point> expected;
    };
    const std::vector<Case> cases{
        {"below the frame", false, {}, Point{350, 529}},
        {"above it when our panel lies below", false, {Rect(100, 510, 500, 80)}, Point{350, 171}},
        {"beside it when panels lie below and above",
         false,
         {Rect(100, 510, 600, 90), Rect(100, 100, 600, 90)},
         Point{579, 350}},
        {"nowhere when ours surround it",
         false,
         {Rect(100, 510, 600, 90), Rect(100, 100, 600, 90), Rect(560, 100, 140, 500),
          Rect(100, 100, 40, 500)},
         std::nullopt},
        {"inside the region where the pointer passes our windows", true, {}, Point{350, 350}},
    };
    for (const Case& c : cases) {
        SetUp();
        fake.workspace->scrolls.clear();
        fake.workspace->shapedWindowsPassPointer = c.passesPointer;
        unsigned number = 900;
        for (const Rect& r : c.ours) fake.capture->windows.prepend(window(++number, kOwnPid, r));
        fake.capture->windows.prepend(window(++number, kOwnPid, frame));
        auto capture = started();
        // Our panels as shown (Qt knows where) are out of the way; listed ones count here.
        capture->controls().setGeometry(QRect(900, 600, 300, 80));
        capture->previewPanel().setGeometry(QRect(900, 100, 180, 300));
        capture->toggleAutoScroll();
        queue.advance(0.35);
        if (!c.expected) {
            EXPECT_TRUE(fake.workspace->scrolls.empty()) << c.what;
            EXPECT_EQ(capture->status(), "目标区域被遮挡，自动滚动停止。") << c.what;
            continue;
        }
        ASSERT_EQ(fake.workspace->scrolls.size(), 1u) << c.what;
        EXPECT_EQ(fake.workspace->scrolls[0].point, *c.expected) << c.what;
        EXPECT_EQ(fake.workspace->scrolls[0].keepClear, Rect(150, 200, 400, 300)) << c.what;
    }
}

TEST_F(LongScreenshotTest, WhereTheDesktopPlacesEveryWindowOneWindowOfOursHoldsThePanels) {
    // GNOME: no window of ours goes where we ask, frames show the screen, nothing says which
    // window is in front; the desktop put our window 32 points lower (below its top bar).
    fake.workspace->panelsPlaced = false;
    fake.workspace->frontmostKnown = false;
    fake.windowStreams->covering = true;
    const QPoint shift(0, 32);
    auto capture = make();
    LongCapturePanelHost* host = capture->panelHost();
    ASSERT_NE(host, nullptr);
    for (QWidget* panel : std::initializer_list<QWidget*>{
             &capture->controls(), &capture->previewPanel(), &capture->regionView()})
        EXPECT_EQ(panel->parentWidget(), host);
    EXPECT_EQ(host->windowType(), Qt::Tool);  // so the capture's keys reach it
    const QRect screen = qtRectFromGlobal(Rect(0, 0, 1280, 800));
    // The screen as it shows: our ring where the desktop put it.
    QImage shown(1280, 800, QImage::Format_RGB32);
    shown.fill(Qt::white);
    {
        const QRect ring = qtRectFromGlobal(capture->regionView().ringOuter())
                               .translated(-screen.topLeft() + shift);
        QPainter p(&shown);
        p.setClipRegion(QRegion(ring) - QRegion(ring.adjusted(4, 4, -4, -4)));
        p.fillRect(ring, QColor(LongCaptureRegionView::ringColor()));
    }
    fake.capture->images = {shown};

    capture->start();
    EXPECT_TRUE(host->isVisible());
    // The pointer goes to the panels only: not to the region, nor to its ring.
    const QRect controls = capture->controls().geometry();
    const QRect region = qtRectFromGlobal(Rect(150, 300, 400, 300)).translated(-screen.topLeft());
    EXPECT_TRUE(host->inputRegion().contains(controls.center()));
    EXPECT_TRUE(host->inputRegion().contains(capture->previewPanel().geometry().center()));
    EXPECT_FALSE(host->inputRegion().contains(region.center()));
    EXPECT_FALSE(host->inputRegion().contains(region.topLeft() - QPoint(2, 2)));
    // Found off by the desktop's placement: the panels move, and the frames start once the
    // screen shows them there.
    queue.advance(0.41);
    EXPECT_EQ(host->origin(), screen.topLeft() + shift);
    EXPECT_EQ(capture->controls().geometry(), controls.translated(-shift));
    EXPECT_EQ(panelFrame(&capture->regionView()),
              qtRectFromGlobal(capture->regionView().globalFrame()));
    EXPECT_EQ(fake.windowStreams->starts, 0);
    queue.advance(0.41);
    EXPECT_EQ(fake.windowStreams->starts, 1);
    frame(0);

    // Paused, the ring's handles take the pointer.
    const QPoint ringPoint = capture->regionView().geometry().topLeft() + QPoint(2, 40);
    EXPECT_FALSE(host->inputRegion().contains(ringPoint));
    capture->togglePause();
    EXPECT_TRUE(host->inputRegion().contains(ringPoint));
    capture->togglePause();
    EXPECT_FALSE(host->inputRegion().contains(ringPoint));

    // The wheel turns inside the region, through our window; what is in front is not checked.
    fake.workspace->frontmostPid = 900;
    capture->toggleAutoScroll();
    queue.advance(0.35);
    ASSERT_EQ(fake.workspace->scrolls.size(), 1u);
    EXPECT_EQ(fake.workspace->scrolls[0].point, (Point{350, 350}));
    EXPECT_TRUE(capture->autoScrolling());

    capture->close();
    EXPECT_FALSE(host->isVisible());

    // A ring not seen on the screen leaves the panels where they are; the frames start anyway.
    fake.capture->images.clear();
    auto unseen = make();
    unseen->start();
    queue.advance(0.41);
    EXPECT_EQ(unseen->panelHost()->origin(), screen.topLeft());
    EXPECT_EQ(fake.windowStreams->starts, 2);
}
