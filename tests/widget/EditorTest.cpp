#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "base/Clock.h"
#include "base/MainQueue.h"
#include "capture/Editor.h"
#include "capture/OverlayWindow.h"
#include "capture/PixelMagnifier.h"
#include "capture/SelectionChrome.h"
#include "capture/SelectionSizeBadge.h"
#include "capture/SelectionView.h"
#include "platform/fake/FakePlatform.h"

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
        editor = std::make_unique<Editor>(
            std::vector<ScreenSnapshot>{snapshot(Rect(0, 0, 400, 300), 1, QColor(10, 200, 30)),
                                        snapshot(Rect(400, 0, 300, 200), 2, Qt::white)},
            EditorEnvironment{queue, clock, pasteboard, [](std::function<void()> job) { job(); }});
        editor->onClose = [this] { ++closes; };
        editor->showWindow();
    }
    ~EditorTest() override { editor.reset(); }

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
    EXPECT_TRUE(editor->handleKey(key(KeyCode::escape), false, 0));
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
    EXPECT_TRUE(editor->handleKey(key(KeyCode::space), false, 0));
    EXPECT_TRUE(editor->model(1).windowSelectionOnly());  // the display under the pointer
    EXPECT_FALSE(editor->model(0).windowSelectionOnly());

    EXPECT_TRUE(editor->handleKey(key(KeyCode::c, true), false, 0));
    EXPECT_EQ(pasteboard.text, "#FFFFFF");
    EXPECT_TRUE(editor->root(1).magnifier().copied());
    // Alt+C with Control is not the copy.
    KeyPress withControl = key(KeyCode::c, true);
    withControl.control = true;
    EXPECT_FALSE(editor->handleKey(withControl, false, 0));
}

TEST_F(EditorTest, ArrowsNudgeByImagePixelsAndReturnCopiesTheExactPixels) {
    // Display 1 is at scale 2: Shift+Right moves 10 image pixels, 5 points.
    editor->select(Rect(10.3, 20.2, 50, 40), 1);
    EXPECT_EQ(editor->model(1).selection(), Rect(10, 20, 50.5, 40.5));
    editor->handleKey(key(KeyCode::right, false, true), false, 0);
    EXPECT_EQ(editor->model(1).selection(), Rect(15, 20, 50.5, 40.5));
    editor->handleKey(key(KeyCode::down), false, 0);
    EXPECT_EQ(editor->model(1).selection(), Rect(15, 19.5, 50.5, 40.5));
    // Moving against the edge stops flush with it.
    for (int i = 0; i < 100; ++i) editor->handleKey(key(KeyCode::left, false, true), false, 0);
    EXPECT_EQ(editor->model(1).selection()->minX(), 0);

    EXPECT_TRUE(editor->handleKey(key(KeyCode::returnKey), false, 0));
    const QImage copied = QImage::fromData(pasteboard.png, "PNG");
    EXPECT_EQ(copied.size(), QSize(101, 81));
    EXPECT_EQ(QColor(copied.pixel(5, 5)), QColor(Qt::white));
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, HeldSpaceMovesTheSelectionUntilReleasedOrTheWindowLosesKey) {
    editor->select(Rect(100, 100, 100, 100), 0);
    editor->chrome()->setMoving(false);
    editor->handleKey(key(KeyCode::space), false, 0);
    EXPECT_TRUE(editor->chrome()->temporaryMoving());
    EXPECT_EQ(editor->chrome()->handle({150, 150}), SelectionHandle::move);
    editor->handleKey(key(KeyCode::space), true, 0);
    EXPECT_FALSE(editor->chrome()->temporaryMoving());
    EXPECT_EQ(editor->chrome()->handle({150, 150}), std::nullopt);

    editor->handleKey(key(KeyCode::space), false, 0);
    editor->overlays()[0]->onResignKey();
    EXPECT_FALSE(editor->chrome()->temporaryMoving());
}

TEST_F(EditorTest, RefusedPasteboardKeepsTheSession) {
    editor->select(Rect(100, 100, 100, 100), 0);
    pasteboard.refuse = true;
    editor->handleKey(key(KeyCode::returnKey), false, 0);
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(editor->selectedRoot(), 0);
}
