#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QUndoStack>

#include "annotation/AnnotationHost.h"
#include "annotation/AnnotationPreferences.h"
#include "annotation/ToolbarButtons.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "capture/Editor.h"
#include "longcapture/LongScreenshotResult.h"
#include "platform/fake/FakePlatform.h"

using namespace tessal;

namespace {

KeyPress control(int code) {
    KeyPress p;
    p.keyCode = code;
    p.control = true;
    return p;
}

ScreenSnapshot display(const Rect& frame) {
    QImage image(int(frame.width()), int(frame.height()), QImage::Format_RGB32);
    image.fill(Qt::white);
    return {frame, image, {}, {}, {}, {}};
}

}  // namespace

class AnnotationHostTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePasteboard pasteboard;
};

// The style the user picks is remembered the same way in every window that hosts the canvas:
// the editor and the result window once drifted apart on the mosaic mode.
TEST_F(AnnotationHostTest, EveryHostRemembersTheStyleAlike) {
    Editor editor({display(Rect(0, 0, 400, 300))},
                  EditorEnvironment{.mainQueue = queue,
                                    .clock = clock,
                                    .pasteboard = pasteboard,
                                    .defaults = defaults,
                                    .regionQueue = [](std::function<void()> job) { job(); }});
    editor.select(Rect(10, 10, 200, 150), 0);
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    LongScreenshotResult result(
        image, "结果", nullptr,
        ResultEnvironment{queue, clock, pasteboard, defaults, nullptr, nullptr, nullptr, nullptr});
    for (AnnotationToolbar* toolbar : {editor.toolbar(), &result.toolbar()}) {
        defaults.remove("annotationMosaicMode");
        toolbar->onMosaicMode(MosaicMode::rectangle);
        EXPECT_EQ(defaults.numberValue("annotationMosaicMode"), 1.0);
        EXPECT_EQ(toolbar->activeTool(), ToolbarIndex::of(Tool::mosaic));
        toolbar->onWidth(6);
        EXPECT_EQ(AnnotationPreferences::load(defaults).width, 6);
        toolbar->onColor(Qt::blue);
        EXPECT_EQ(AnnotationPreferences::load(defaults).color, QColor(Qt::blue));
    }
    editor.close();
}

// Key equivalents act exactly as their buttons: an action whose button is disabled does
// nothing from the keyboard either; undo and redo step the stack the canvas records on.
TEST_F(AnnotationHostTest, KeysAndButtonsShareOneDispatch) {
    QUndoStack edits;
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    QWidget window;
    auto* canvas =
        new Canvas(std::make_unique<CanvasModel>(image, 120, 80, &edits, clock), &window);
    canvas->model().setSize({120, 80});
    auto* toolbar = new AnnotationToolbar(900, queue, &window);
    AnnotationHost host(defaults, pasteboard, queue, nullptr, nullptr);
    int saves = 0, pins = 0, closes = 0;
    host.onSave = [&] { ++saves; };
    host.onPin = [&] { ++pins; };
    host.onClose = [&] { ++closes; };
    host.attach(canvas, toolbar, &edits, ToolbarIndex::of(Tool::rectangle));

    EXPECT_TRUE(host.handleKey(control(KeyCode::s), false));
    EXPECT_TRUE(host.handleKey(control(KeyCode::p), false));
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(pins, 1);
    toolbar->disableActions({ToolbarActionId::pin, ToolbarActionId::save});
    EXPECT_TRUE(host.handleKey(control(KeyCode::p), false));
    toolbar->action(ToolbarActionId::save)->click();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(pins, 1);

    canvas->model().mouseDown({10, 10}, 1);
    canvas->model().mouseDragged({60, 50}, false);
    canvas->model().mouseUp({60, 50}, false);
    ASSERT_EQ(canvas->model().marks().size(), 1u);
    toolbar->action(ToolbarActionId::undo)->click();
    EXPECT_TRUE(canvas->model().marks().empty());
    toolbar->action(ToolbarActionId::redo)->click();
    EXPECT_EQ(canvas->model().marks().size(), 1u);

    // Copy through the button: one PNG of the full pixel size, then the window closes.
    toolbar->action(ToolbarActionId::copy)->click();
    EXPECT_EQ(QImage::fromData(pasteboard.png).size(), QSize(120, 80));
    EXPECT_EQ(closes, 1);
    host.detach();
    EXPECT_FALSE(toolbar->onAction);
}

// A copy is rendered on the worker from the canvas as it was at the copy: what the window does
// next (an edit, closing) does not reach the PNG.
TEST_F(AnnotationHostTest, ACopyIsRenderedAsItWasWhenAsked) {
    QUndoStack edits;
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    auto window = std::make_unique<QWidget>();
    auto* canvas =
        new Canvas(std::make_unique<CanvasModel>(image, 120, 80, &edits, clock), window.get());
    canvas->model().setSize({120, 80});
    auto* toolbar = new AnnotationToolbar(900, queue, window.get());
    AnnotationHost host(defaults, pasteboard, queue, nullptr, nullptr);
    host.attach(canvas, toolbar, &edits, ToolbarIndex::of(Tool::rectangle));
    Mark frame;
    frame.tool = Tool::rectangle;
    frame.points = {{20, 20}, {100, 60}};
    frame.color = QColor(255, 0, 0);
    frame.width = 4;
    canvas->model().restore(frame);

    pasteboard.pasteAtOnce = false;
    toolbar->action(ToolbarActionId::copy)->click();
    ASSERT_TRUE(pasteboard.offered);
    canvas->model().removeLastMark();
    host.detach();
    window.reset();
    const QImage copied = QImage::fromData(pasteboard.offered->get());
    ASSERT_EQ(copied.size(), QSize(120, 80));
    // The rectangle's left edge (x = 20 points, y up from the bottom) is red in the copy.
    const QColor edge(copied.pixel(20, 80 - 40));
    EXPECT_GT(edge.red(), 200);
    EXPECT_LT(edge.green(), 60);
    EXPECT_EQ(QColor(copied.pixel(60, 40)), QColor(Qt::white));
}
