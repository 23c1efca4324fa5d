#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "annotation/AnnotationToolbar.h"
#include "annotation/Canvas.h"
#include "annotation/ToolbarButtons.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "base/QtGeometry.h"
#include "base/SerialQueue.h"
#include "capture/Editor.h"
#include "capture/OverlayWindow.h"
#include "capture/PixelMagnifier.h"
#include "capture/SelectionChrome.h"
#include "capture/SelectionGeometry.h"
#include "capture/SelectionSizeBadge.h"
#include "capture/SelectionView.h"
#include "platform/fake/FakePlatform.h"

#include <QTemporaryDir>

using namespace tessal;

namespace {

ScreenSnapshot snapshot(const Rect& frame, double scale, QColor colour) {
    ScreenSnapshot s;
    s.frame = frame;
    s.image = QImage(int(frame.width() * scale), int(frame.height() * scale), QImage::Format_RGB32);
    s.image.fill(colour);
    s.windows = {Rect(50, 50, 200, 100)};
    return s;
}

KeyPress key(int code, bool option = false, bool shift = false) {
    KeyPress p;
    p.keyCode = code;
    p.option = option;
    p.shift = shift;
    return p;
}

void click(QWidget* view, QPointF at, Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, view->mapToGlobal(at), button, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(view, &release);
}

}  // namespace

class EditorTest : public ::testing::Test {
  protected:
    EditorTest() {
        defaults.set("keySheetShown", true);  // the first capture's key sheet is tested apart
        editor = std::make_unique<Editor>(
            std::vector<ScreenSnapshot>{snapshot(Rect(0, 0, 400, 300), 1, QColor(10, 200, 30)),
                                        snapshot(Rect(400, 0, 300, 200), 2, Qt::white)},
            EditorEnvironment{
                queue,
                clock,
                pasteboard,
                defaults,
                [](std::function<void()> job) { job(); },
                [this] {
                    ++savePanels;
                    return savePath;
                },
                [this](const AlertSpec& alert) { errors << alert.informative; },
                nullptr,
                nullptr,
                [this](const QImage& image, bool copy, std::function<void()> onCopied,
                       std::function<void()> onClosed) {
                    recognitions.push_back({image, copy, std::move(onCopied), std::move(onClosed)});
                    return recognitionOpens;
                },
                false,
                {}});
        editor->onClose = [this] { ++closes; };
        editor->showWindow();
    }
    ~EditorTest() override { editor.reset(); }

    bool press(int code, bool shift = false, bool control = false, bool repeat = false) {
        KeyPress p = key(code, false, shift);
        p.control = control;
        return editor->handleKey(p, false, repeat, 0);
    }
    void drawRectangle(Point from, Point to) {
        CanvasModel& canvas = editor->canvas()->model();
        canvas.mouseDown(from, 1);
        canvas.mouseDragged(to, false);
        canvas.mouseUp(to, false);
    }

    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    int savePanels = 0;
    std::optional<QString> savePath;
    QStringList errors;
    struct Recognition {
        QImage image;
        bool copyWhenReady;
        std::function<void()> onCopied, onClosed;
    };
    std::vector<Recognition> recognitions;
    bool recognitionOpens = true;

    // Lets a save or a pin finish: its PNG is made on the worker, then reported back.
    void finishExports() {
        SerialQueue::named("local.ostrel.png").flush();
        queue.advance(0);
    }

    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePasteboard pasteboard;
    int closes = 0;
    std::unique_ptr<Editor> editor;
};

TEST_F(EditorTest, OneOverlayPerDisplayAndEscapeOrRightClickCloseBeforeChoosing) {
    ASSERT_EQ(editor->overlays().size(), 2u);
    EXPECT_TRUE(editor->overlays()[1]->isVisible());
    EXPECT_EQ(editor->root(1).size(), QSize(300, 200));
    EXPECT_TRUE(editor->handleKey(key(KeyCode::escape), false, false, 0));
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(editor->overlays()[0]->isVisible());
    editor->close();
    EXPECT_EQ(closes, 1);  // once only
}

TEST_F(EditorTest, RightClickBeforeChoosingCloses) {
    editor->handleRightClick({10, 10}, 1);
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, ClickingThroughTheViewSelectsAndDimsTheOtherDisplay) {
    SelectionView& view = editor->root(0);
    // Qt's y-down (100, 200) is the model's (100, 100): inside the window at (50, 50, 200, 100).
    QMouseEvent move(QEvent::MouseMove, QPointF(100, 200), view.mapToGlobal(QPointF(100, 200)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    EXPECT_EQ(editor->model(0).hoveredWindow(), Rect(50, 50, 200, 100));
    EXPECT_EQ(view.sizeBadge().text(), "200 × 100 px");
    EXPECT_TRUE(view.magnifier().isVisible());
    click(&view, QPointF(100, 200));
    EXPECT_EQ(editor->selectedRoot(), 0);
    EXPECT_EQ(editor->model(0).selection(), Rect(50, 50, 200, 100));
    EXPECT_TRUE(editor->model(1).selected());
    EXPECT_EQ(editor->model(1).displayedRect(), std::nullopt);  // fully dimmed
    ASSERT_NE(editor->chrome(), nullptr);
    EXPECT_EQ(editor->chrome()->selection(), Rect(50, 50, 200, 100));
    EXPECT_FALSE(view.magnifier().isVisible());

    // A right click reselects on any display, without a new capture.
    editor->handleRightClick({100, 100}, 1);
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(editor->selectedRoot(), -1);
    EXPECT_EQ(editor->chrome(), nullptr);
    EXPECT_FALSE(editor->model(0).selected());
    EXPECT_EQ(editor->model(1).hoveredWindow(), Rect(50, 50, 200, 100));
}

TEST_F(EditorTest, SpaceTogglesWholeWindowModeAndAltCCopiesTheColour) {
    editor->model(1).updateHover({60, 60});
    EXPECT_TRUE(editor->handleKey(key(KeyCode::space), false, false, 0));
    EXPECT_TRUE(editor->model(1).windowSelectionOnly());  // the display under the pointer
    EXPECT_FALSE(editor->model(0).windowSelectionOnly());

    EXPECT_TRUE(editor->handleKey(key(KeyCode::c, true), false, false, 0));
    EXPECT_EQ(pasteboard.text, "#FFFFFF");
    EXPECT_TRUE(editor->root(1).magnifier().copied());
    // Alt+C with Control is not the copy.
    KeyPress withControl = key(KeyCode::c, true);
    withControl.control = true;
    EXPECT_FALSE(editor->handleKey(withControl, false, false, 0));
}

TEST_F(EditorTest, ArrowsNudgeByImagePixelsAndReturnCopiesTheExactPixels) {
    // Display 1 is at scale 2: Shift+Right moves 10 image pixels, 5 points.
    editor->select(Rect(10.3, 20.2, 50, 40), 1);
    EXPECT_EQ(editor->model(1).selection(), Rect(10, 20, 50.5, 40.5));
    editor->handleKey(key(KeyCode::right, false, true), false, false, 0);
    EXPECT_EQ(editor->model(1).selection(), Rect(15, 20, 50.5, 40.5));
    editor->handleKey(key(KeyCode::down), false, false, 0);
    EXPECT_EQ(editor->model(1).selection(), Rect(15, 19.5, 50.5, 40.5));
    // Moving against the edge stops flush with it.
    for (int i = 0; i < 100; ++i)
        editor->handleKey(key(KeyCode::left, false, true), false, false, 0);
    EXPECT_EQ(editor->model(1).selection()->minX(), 0);

    EXPECT_TRUE(editor->handleKey(key(KeyCode::returnKey), false, false, 0));
    const QImage copied = QImage::fromData(pasteboard.png, "PNG");
    EXPECT_EQ(copied.size(), QSize(101, 81));
    EXPECT_EQ(QColor(copied.pixel(5, 5)), QColor(Qt::white));
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, HeldSpaceMovesTheSelectionUntilReleasedOrTheWindowLosesKey) {
    editor->select(Rect(100, 100, 100, 100), 0);
    editor->chrome()->setMoving(false);
    editor->handleKey(key(KeyCode::space), false, false, 0);
    EXPECT_TRUE(editor->chrome()->temporaryMoving());
    EXPECT_EQ(editor->chrome()->handle({150, 150}), SelectionHandle::move);
    editor->handleKey(key(KeyCode::space), true, false, 0);
    EXPECT_FALSE(editor->chrome()->temporaryMoving());
    EXPECT_EQ(editor->chrome()->handle({150, 150}), std::nullopt);

    editor->handleKey(key(KeyCode::space), false, false, 0);
    editor->overlays()[0]->onResignKey();
    EXPECT_FALSE(editor->chrome()->temporaryMoving());
}

TEST_F(EditorTest, RefusedPasteboardKeepsTheSession) {
    editor->select(Rect(100, 100, 100, 100), 0);
    pasteboard.refuse = true;
    editor->handleKey(key(KeyCode::returnKey), false, false, 0);
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(editor->selectedRoot(), 0);
}

TEST_F(EditorTest, SelectingOpensTheCanvasToolbarAndChromeWithTheStoredStyle) {
    defaults.set("annotationWidth", 6);
    defaults.set("defaultTool", 15);  // clamped: the highlighter
    editor->select(Rect(100, 100, 120, 80), 0);
    ASSERT_NE(editor->canvas(), nullptr);
    ASSERT_NE(editor->toolbar(), nullptr);
    EXPECT_EQ(editor->canvas()->geometry(), QRect(100, 120, 120, 80));
    EXPECT_EQ(editor->canvas()->model().annotationOrigin(), (Point{100, 100}));
    EXPECT_EQ(editor->canvas()->model().strokeWidth, 6);
    EXPECT_EQ(editor->toolbar()->activeTool(), 10);
    EXPECT_EQ(editor->canvas()->model().tool, Tool::highlight);
    EXPECT_FALSE(editor->chrome()->moving());
    EXPECT_TRUE(editor->toolbar()->action(ToolbarActionId::recognizeText)->isEnabled());
    EXPECT_TRUE(editor->toolbar()->action(ToolbarActionId::longCapture)->isEnabled());
    // Placed by the toolbar rule (here the display is small: it goes inside, at the top).
    const QSize size = editor->toolbar()->size();
    const Rect expected = toolbarFrame({double(size.width()), double(size.height())},
                                       *editor->model(0).selection(), editor->model(0).bounds());
    EXPECT_EQ(editor->toolbar()->geometry(), viewRect(expected, 300).toRect());
}

TEST_F(EditorTest, ANegativeDefaultToolMeansMovingTheSelection) {
    defaults.set("defaultTool", -3);
    editor->select(Rect(10, 10, 50, 50), 0);
    EXPECT_EQ(editor->toolbar()->activeTool(), 0);
    EXPECT_TRUE(editor->chrome()->moving());
}

TEST_F(EditorTest, EscapeCancelsADrawingFirstAndReturnInTextDoesNotCopy) {
    editor->select(Rect(100, 100, 200, 150), 0);
    editor->toolbar()->selectTool(2);
    editor->toolbar()->onTool(2);
    CanvasModel& canvas = editor->canvas()->model();
    canvas.mouseDown({10, 10}, 1);
    canvas.mouseDragged({60, 60}, false);
    EXPECT_TRUE(press(KeyCode::escape));
    EXPECT_EQ(closes, 0);
    EXPECT_FALSE(canvas.draft());

    canvas.tool = Tool::text;
    canvas.mouseDown({20, 20}, 1);
    ASSERT_TRUE(editor->canvas()->editingText());
    EXPECT_FALSE(press(KeyCode::returnKey));  // the text field gets it
    EXPECT_TRUE(pasteboard.png.isEmpty());
    canvas.cancelText();
    EXPECT_TRUE(press(KeyCode::escape));
    EXPECT_EQ(closes, 1);
}

// A capture session is its own undo: Escape ends it at once, marks or not, without a question.
TEST_F(EditorTest, EscapeEndsACaptureSessionWithMarksAtOnce) {
    editor->select(Rect(100, 100, 200, 150), 0);
    editor->toolbar()->onTool(2);
    drawRectangle({10, 10}, {80, 60});
    ASSERT_EQ(editor->overlays()[0]->edits().count(), 1);
    EXPECT_TRUE(press(KeyCode::escape));
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, RightClickOnAnotherDisplayWipesTheSessionButNotTheCapture) {
    editor->select(Rect(100, 100, 200, 150), 0);
    editor->toolbar()->onTool(2);
    drawRectangle({10, 10}, {80, 60});
    EXPECT_EQ(editor->overlays()[0]->edits().count(), 1);
    editor->handleRightClick({60, 60}, 1);
    EXPECT_EQ(editor->canvas(), nullptr);
    EXPECT_EQ(editor->toolbar(), nullptr);
    EXPECT_EQ(editor->overlays()[0]->edits().count(), 0);
    EXPECT_EQ(editor->model(1).hoveredWindow(), Rect(50, 50, 200, 100));
    EXPECT_FALSE(editor->model(0).selected());
    // Choosing again works on the same frozen image.
    editor->select(Rect(20, 20, 50, 40), 1);
    EXPECT_EQ(editor->canvas()->model().pixelWidth(), 100);
}

TEST_F(EditorTest, CopyClosesOrFlashesAsThePreferenceSays) {
    defaults.set("copyCloses", false);
    editor->select(Rect(100, 100, 40, 30), 0);
    EXPECT_TRUE(press(KeyCode::returnKey));
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(QImage::fromData(pasteboard.png).size(), QSize(40, 30));
    EXPECT_EQ(editor->toolbar()->action(ToolbarActionId::copy)->iconName(), "action-copied");
    queue.advance(1.3);
    EXPECT_EQ(editor->toolbar()->action(ToolbarActionId::copy)->iconName(), "action-copy");
}

TEST_F(EditorTest, SaveWritesTheFileOrBringsTheSessionBack) {
    editor->select(Rect(100, 100, 40, 30), 0);
    drawRectangle({5, 5}, {30, 20});
    // Cancelled: the same session comes back, marks and all.
    editor->saveImage();
    EXPECT_EQ(savePanels, 1);
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(editor->overlays()[0]->isVisible());
    EXPECT_EQ(editor->canvas()->model().marks().size(), 1u);
    // A folder that cannot be written: the error is shown, nothing is remembered.
    savePath = dir.filePath("missing/shot.png");
    editor->saveImage();
    finishExports();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_FALSE(defaults.contains("lastSaveDirectory"));
    EXPECT_EQ(closes, 0);
    // Saved: the file holds the PNG, the folder is remembered, the session ends.
    savePath = dir.filePath("shot.png");
    editor->saveImage();
    finishExports();
    EXPECT_EQ(QImage(*savePath).size(), QSize(40, 30));
    EXPECT_EQ(defaults.stringValue("lastSaveDirectory"), dir.path());
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, PinHandsTheImageAndItsGlobalFrameToTheController) {
    editor->select(Rect(10, 20, 50, 40), 1);
    EncodedImage pinned;
    Rect frame;
    bool accept = false;
    editor->onPin = [&](const EncodedImage& image, const Rect& f) {
        pinned = image;
        frame = f;
        return accept;
    };
    editor->pinImage();
    finishExports();
    EXPECT_EQ(frame, Rect(410, 20, 50, 40));
    // The pin gets the pixels it paints with the PNG, not to be decoded again.
    EXPECT_EQ(QImage::fromData(pinned.png).convertToFormat(QImage::Format_RGB32),
              pinned.image.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(pinned.image.size(), QSize(100, 80));
    EXPECT_EQ(closes, 0);  // refused: keep editing
    accept = true;
    EXPECT_TRUE(press(35, false, true));  // Control+P
    finishExports();
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, LongCaptureHandsTheDisplayAndTheSelectionToTheController) {
    editor->select(Rect(10, 20, 50, 40), 1);
    std::vector<std::pair<Rect, Rect>> asked;
    bool accept = false;
    editor->onLongCapture = [&](const Rect& frame, const Rect& region) {
        asked.emplace_back(frame, region);
        return accept;
    };
    editor->toolbar()->action(ToolbarActionId::longCapture)->click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, Rect(400, 0, 300, 200));
    EXPECT_EQ(asked[0].second, Rect(10, 20, 50, 40));
    EXPECT_EQ(closes, 0);  // one is running already: keep editing
    accept = true;
    editor->toolbar()->action(ToolbarActionId::longCapture)->click();
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, TextRecognitionHidesTheSessionUntilItsWindowCloses) {
    editor->select(Rect(10, 20, 50, 40), 1);
    EXPECT_TRUE(editor->toolbar()->action(ToolbarActionId::recognizeText)->isEnabled());
    EXPECT_TRUE(press(KeyCode::c, true));  // Shift+C: copy the text as soon as it is read
    // The session leaves the screen at once; the window opens once the worker made the PNG.
    EXPECT_FALSE(editor->overlays()[1]->isVisible());
    EXPECT_TRUE(recognitions.empty());
    finishExports();
    ASSERT_EQ(recognitions.size(), 1u);
    EXPECT_TRUE(recognitions[0].copyWhenReady);
    EXPECT_EQ(recognitions[0].image.size(), QSize(100, 80));
    EXPECT_TRUE(editor->isSaving);
    EXPECT_FALSE(editor->overlays()[1]->isVisible());
    editor->toolbar()->action(ToolbarActionId::recognizeText)->click();
    finishExports();
    EXPECT_EQ(recognitions.size(), 1u);  // one at a time
    recognitions[0].onClosed();          // back without copying: the session returns
    EXPECT_FALSE(editor->isSaving);
    EXPECT_TRUE(editor->overlays()[1]->isVisible());

    editor->toolbar()->action(ToolbarActionId::recognizeText)->click();
    finishExports();
    ASSERT_EQ(recognitions.size(), 2u);
    EXPECT_FALSE(recognitions[1].copyWhenReady);
    recognitions[1].onCopied();  // copying ends the session (the default preference)
    recognitions[1].onClosed();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(editor->overlays()[1]->isVisible());
}

TEST_F(EditorTest, ARecognitionWindowThatCannotOpenGivesTheSessionBack) {
    editor->select(Rect(10, 20, 50, 40), 0);
    recognitionOpens = false;
    editor->toolbar()->action(ToolbarActionId::recognizeText)->click();
    finishExports();
    EXPECT_EQ(recognitions.size(), 1u);
    EXPECT_FALSE(editor->isSaving);
    EXPECT_TRUE(editor->overlays()[0]->isVisible());
    EXPECT_EQ(closes, 0);
}

TEST_F(EditorTest, ToolLettersGoToTheToolbarOncePerPress) {
    editor->select(Rect(100, 100, 200, 150), 0);
    EXPECT_TRUE(press(15));  // R
    EXPECT_EQ(editor->toolbar()->activeTool(), 2);
    EXPECT_EQ(editor->canvas()->model().tool, Tool::rectangle);
    editor->toolbar()->selectTool(0);
    EXPECT_TRUE(press(15, false, false, true));  // a repeat: swallowed, nothing changes
    EXPECT_EQ(editor->toolbar()->activeTool(), 0);
    EXPECT_FALSE(press(15, false, true));  // Control+R is not a tool key
    EXPECT_TRUE(press(18, true));          // Shift+1: rectangle
    EXPECT_EQ(editor->toolbar()->activeTool(), 2);
}

// Another client holding the keyboard: the session asks again every 25 ms and goes on once it
// is free; if it never is, the session ends and says why instead of leaving an overlay that
// Escape cannot close.
TEST(EditorKeyboard, AGrabHeldElsewhereIsWaitedForThenReported) {
    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    for (const int refusals : {3, -1}) {
        workspace.grabRefusals = refusals;
        workspace.grabAttempts = 0;
        QStringList errors;
        int closes = 0;
        Editor editor({snapshot(Rect(0, 0, 400, 300), 1, Qt::white)},
                      EditorEnvironment{
                          .mainQueue = queue,
                          .clock = clock,
                          .pasteboard = pasteboard,
                          .defaults = defaults,
                          .regionQueue = [](std::function<void()> job) { job(); },
                          .showError = [&](const AlertSpec& alert) { errors << alert.informative; },
                          .grabInput = [&](QWindow* w) { return workspace.grabInput(w); }});
        editor.onClose = [&] { ++closes; };
        editor.showWindow();
        queue.advance(0.3);
        if (refusals > 0) {
            EXPECT_EQ(workspace.grabAttempts, refusals + 1);
            EXPECT_EQ(closes, 0);
            EXPECT_TRUE(errors.isEmpty());
            EXPECT_TRUE(editor.overlays()[0]->isVisible());
        } else {
            queue.advance(1.0);
            EXPECT_EQ(workspace.grabAttempts, 20) << "half a second of patience by default";
            EXPECT_EQ(closes, 1);
            ASSERT_EQ(errors.size(), 1);
            EXPECT_TRUE(errors[0].contains("占用键盘"));
            EXPECT_FALSE(editor.overlays()[0]->isVisible());
        }
    }
}

// Wayland: overlays are full-screen windows placed by the compositor, and long capture is off
// with its reason on the button.
TEST(EditorOnWayland, OverlaysFillTheirDisplayAndLongCaptureSaysWhyItIsOff) {
    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePasteboard pasteboard;
    const QString reason = "长截图暂时需要 X11 会话：Wayland 不允许读取其他窗口的内容。";
    Editor editor({snapshot(Rect(0, 0, 400, 300), 1, Qt::white)},
                  EditorEnvironment{.mainQueue = queue,
                                    .clock = clock,
                                    .pasteboard = pasteboard,
                                    .defaults = defaults,
                                    .regionQueue = [](std::function<void()> job) { job(); },
                                    .fullScreenOverlays = true,
                                    .longCaptureUnavailable = reason});
    editor.showWindow();
    ASSERT_EQ(editor.overlays().size(), 1u);
    EXPECT_TRUE(editor.overlays()[0]->windowState() & Qt::WindowFullScreen);
    EXPECT_FALSE(editor.overlays()[0]->windowFlags() & Qt::X11BypassWindowManagerHint);
    editor.select(Rect(10, 10, 200, 150), 0);
    ASSERT_TRUE(editor.toolbar());
    auto* button = editor.toolbar()->action(ToolbarActionId::longCapture);
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(button->toolTip(), reason);
    EXPECT_TRUE(editor.toolbar()->action(ToolbarActionId::copy)->isEnabled());
    editor.close();
}

// Wayland tells the pointer's place only once it enters an overlay: until then the window under
// the pointer is lit where the compositor told where it is, else the window it has focused (no
// magnifier, nothing inside it guessed), and the pointer's first move takes over.
TEST(EditorOnWayland, FocusedWindowIsLitUntilThePointerMoves) {
    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePasteboard pasteboard;
    struct Case {
        const char* what;
        std::optional<std::size_t> focused, pointed, lit;
    } cases[] = {{"nothing told", std::nullopt, std::nullopt, std::nullopt},
                 {"focus told", 1, std::nullopt, 1},
                 {"pointer told", 1, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScreenSnapshot s = snapshot(Rect(0, 0, 400, 300), 1, Qt::white);
        s.windows = {Rect(20, 20, 100, 80), Rect(200, 100, 150, 120)};
        s.focusedWindow = c.focused;
        s.pointedWindow = c.pointed;
        Editor editor({s},
                      EditorEnvironment{.mainQueue = queue,
                                        .clock = clock,
                                        .pasteboard = pasteboard,
                                        .defaults = defaults,
                                        .regionQueue = [](std::function<void()> job) { job(); },
                                        .fullScreenOverlays = true});
        editor.showWindow();
        SelectionViewModel& model = editor.model(0);
        if (c.lit)
            EXPECT_EQ(model.displayedRect(), std::optional<Rect>(s.windows[*c.lit]));
        else
            EXPECT_FALSE(model.displayedRect());
        EXPECT_FALSE(editor.root(0).magnifier().isVisible());
        model.updateHover(Point(250, 150));
        EXPECT_EQ(model.hoveredWindow(), std::optional<Rect>(s.windows[1]));
        editor.close();
    }
}
