#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QUndoStack>

#include "annotation/AnnotationTextView.h"
#include "annotation/Canvas.h"
#include "annotation/CanvasModel.h"
#include "base/Clock.h"
#include "platform/KeyCodes.h"

using namespace tessal;

namespace {

QImage canvasImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

}  // namespace

// A 500 × 400 point canvas showing 1000 × 800 pixels, its lower-left corner at (100, 50) in
// annotation coordinates.
class CanvasModelTest : public ::testing::Test {
  protected:
    CanvasModelTest() : canvas(canvasImage(1000, 800), 1000, 800, &undo, clock) {
        canvas.setSize({500, 400});
        canvas.setAnnotationOrigin({100, 50});
        canvas.onCopy = [this] { ++copies; };
    }
    // A gesture in view points.
    void drag(Point from, Point to, bool shift = false, int steps = 4) {
        canvas.mouseDown(from, 1);
        for (int i = 1; i <= steps; ++i)
            canvas.mouseDragged(
                {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps},
                shift);
        canvas.mouseUp(to, shift);
    }
    Point a(Point view) const { return view + canvas.annotationOrigin(); }

    ManualClock clock;
    QUndoStack undo;
    CanvasModel canvas;
    int copies = 0;
};

TEST_F(CanvasModelTest, DraftsAreKeptOnlyPastTwoPoints) {
    drag({10, 10}, {12, 10});
    EXPECT_TRUE(canvas.marks().empty());
    drag({10, 10}, {12.5, 10});
    ASSERT_EQ(canvas.marks().size(), 1u);
    EXPECT_EQ(canvas.marks()[0].points, (std::vector<Point>{a({10, 10}), a({12.5, 10})}));
    EXPECT_EQ(canvas.selectedMarkIndex(), 0);
    EXPECT_EQ(undo.count(), 1);

    canvas.tool = Tool::pen;
    drag({300, 300}, {300, 300}, false, 1);  // a click with the pen: nothing
    EXPECT_EQ(canvas.marks().size(), 1u);
    drag({300, 300}, {310, 300});
    // The draft starts with its first point twice, then every new position.
    EXPECT_EQ(canvas.marks().back().points.size(), 6u);
}

TEST_F(CanvasModelTest, NumberFollowsTheDragAndBrushClicksPaintADot) {
    canvas.tool = Tool::number;
    canvas.mouseDown({50, 50}, 1);
    canvas.mouseDragged({80, 60}, false);
    canvas.mouseUp({90, 70}, false);
    ASSERT_EQ(canvas.marks().size(), 1u);
    EXPECT_EQ(canvas.marks()[0].points, (std::vector<Point>{a({90, 70})}));
    EXPECT_EQ(canvas.marks()[0].number, 1);
    drag({200, 200}, {200, 200}, false, 0);
    EXPECT_EQ(canvas.marks()[1].number, 2);

    canvas.tool = Tool::mosaic;
    canvas.mosaicMode = MosaicMode::brush;
    drag({90, 70}, {90, 70}, false, 0);  // over the first marker: paints, never selects
    ASSERT_EQ(canvas.marks().size(), 3u);
    EXPECT_TRUE(canvas.marks()[2].isMosaicBrush());
    EXPECT_EQ(canvas.selectedMarkIndex(), std::nullopt);
}

TEST_F(CanvasModelTest, HitOrderAndInsideVersusOutline) {
    drag({100, 100}, {300, 250});  // rectangle 0
    canvas.selectMark(std::nullopt);
    // A click deep inside an unselected rectangle draws a new one...
    drag({200, 180}, {230, 200});
    EXPECT_EQ(canvas.marks().size(), 2u);
    canvas.selectMark(std::nullopt);
    // ...on its outline it selects it (the later mark wins where both are hit)...
    canvas.mouseDown({100, 175}, 1);
    canvas.mouseUp({100, 175}, false);
    EXPECT_EQ(canvas.selectedMarkIndex(), 0);
    // ...and once selected it can be dragged from inside: one undo step.
    const int steps = undo.count();
    drag({160, 120}, {170, 130});
    EXPECT_EQ(canvas.marks()[0].points.front(), a({110, 110}));
    EXPECT_EQ(undo.count(), steps + 1);
    undo.undo();
    EXPECT_EQ(canvas.marks()[0].points.front(), a({100, 100}));

    // Where two outlines cross, the later mark is hit first.
    canvas.selectMark(std::nullopt);
    drag({90, 150}, {150, 200});
    canvas.selectMark(std::nullopt);
    canvas.mouseDown({100, 200}, 1);
    canvas.mouseUp({100, 200}, false);
    EXPECT_EQ(canvas.selectedMarkIndex(), 2);
}

TEST_F(CanvasModelTest, GesturesThatEndWhereTheyStartedRecordNothing) {
    drag({100, 100}, {300, 250});
    const int steps = undo.count();
    drag({100, 175}, {140, 175});
    drag({140, 175}, {100, 175});
    EXPECT_EQ(undo.count(), steps + 2);
    canvas.mouseDown({100, 175}, 1);
    canvas.mouseDragged({150, 200}, false);
    canvas.mouseUp({100, 175}, false);
    EXPECT_EQ(undo.count(), steps + 2);
}

TEST_F(CanvasModelTest, ResizeAndEndpointDrags) {
    drag({100, 100}, {300, 200});  // 200 × 100 rectangle, selected
    // Shift on a corner keeps the aspect ratio.
    drag({300, 200}, {400, 210}, true);
    EXPECT_EQ(canvas.marks()[0].bounds().size, (Size{300, 150}));
    undo.undo();
    EXPECT_EQ(canvas.marks()[0].bounds().size, (Size{200, 100}));

    // A number keeps it without Shift; its font follows the height, within 10…96.
    canvas.tool = Tool::number;
    canvas.selectMark(std::nullopt);
    drag({60, 300}, {60, 300}, false, 0);
    Rect badge = canvas.marks()[1].bounds();
    drag({badge.maxX() - 100, badge.minY() - 50},
         {badge.maxX() - 100 + 20, badge.minY() - 50 - 20});
    badge = canvas.marks()[1].bounds();
    EXPECT_NEAR(badge.width(), badge.height(), 1e-9);
    EXPECT_NEAR(canvas.marks()[1].fontSize, 24 * badge.height() / 33.6, 1e-6);
    drag({badge.maxX() - 100, badge.minY() - 50},
         {badge.maxX() - 100 + 400, badge.minY() - 50 - 400});
    EXPECT_EQ(canvas.marks()[1].fontSize, 96);

    // Arrow endpoints move alone.
    canvas.tool = Tool::arrow;
    drag({20, 20}, {120, 20});
    const int arrow = int(canvas.marks().size()) - 1;
    drag({120, 20}, {120, 120});
    EXPECT_EQ(canvas.marks()[arrow].points, (std::vector<Point>{a({20, 20}), a({120, 120})}));
}

// A handle is taken within 7 points of its centre and not beyond.
TEST_F(CanvasModelTest, HandlesReachSevenPoints) {
    drag({100, 100}, {300, 200});  // selected, top-right corner at (300, 200)
    drag({304.9, 204.9}, {324.9, 214.9});
    EXPECT_EQ(canvas.marks()[0].bounds().size, (Size{220, 110}));
    undo.undo();
    drag({305, 205}, {325, 215});
    EXPECT_EQ(canvas.marks()[0].bounds().size, (Size{200, 100}));
}

TEST_F(CanvasModelTest, TextResizeScalesTheFont) {
    canvas.tool = Tool::text;
    canvas.mouseDown({50, 50}, 1);
    ASSERT_TRUE(canvas.textField());
    canvas.textChanged("hello");
    canvas.commitText();
    ASSERT_EQ(canvas.marks().size(), 1u);
    const Rect b = canvas.marks()[0].bounds();
    // Drag the top-right handle up to twice the height.
    const Point corner{b.maxX() - 100, b.maxY() - 50};
    drag(corner, {corner.x + b.width(), corner.y + b.height()});
    EXPECT_NEAR(canvas.marks()[0].fontSize, 48, 1);
    drag({corner.x + b.width(), corner.y + b.height()}, {corner.x - 400, corner.y - 400});
    EXPECT_EQ(canvas.marks()[0].fontSize, 10);
}

TEST_F(CanvasModelTest, TextCommitEraseAndUndoKeepTheStackingOrder) {
    canvas.tool = Tool::text;
    canvas.mouseDown({50, 300}, 1);
    canvas.textChanged("first line\nsecond");
    const Rect field = canvas.textField()->frame;
    canvas.commitText();
    ASSERT_EQ(canvas.marks().size(), 1u);
    const Mark text = canvas.marks()[0];
    EXPECT_EQ(text.text, "first line\nsecond");
    // The text's top stays where the field's top was.
    EXPECT_NEAR(text.bounds().maxY(), field.maxY() + 50, 0.01);

    canvas.tool = Tool::rectangle;
    drag({300, 50}, {400, 100});
    // Double click opens the text again; erasing everything deletes it.
    canvas.mouseDown({60, text.bounds().minY() - 50 + 5}, 2);
    ASSERT_TRUE(canvas.textField());
    EXPECT_EQ(canvas.textIndex(), 0);
    canvas.textChanged("  \n ");
    canvas.commitText();
    EXPECT_EQ(canvas.marks().size(), 1u);
    EXPECT_EQ(canvas.marks()[0].tool, Tool::rectangle);
    undo.undo();
    ASSERT_EQ(canvas.marks().size(), 2u);
    EXPECT_EQ(canvas.marks()[0], text);  // back under the rectangle

    // Double click elsewhere copies; an empty new text adds nothing; cancel drops the edit.
    canvas.mouseDown({450, 350}, 2);
    EXPECT_EQ(copies, 1);
    canvas.tool = Tool::text;
    canvas.mouseDown({450, 350}, 1);
    canvas.cancelText();
    EXPECT_EQ(canvas.marks().size(), 2u);
}

TEST_F(CanvasModelTest, KeysNudgeAndDelete) {
    EXPECT_FALSE(canvas.keyDown(KeyCode::deleteKey, false));  // nothing selected: the host's
    drag({100, 100}, {200, 200});
    canvas.keyDown(KeyCode::right, false);
    EXPECT_EQ(canvas.marks()[0].points.front(), a({100.5, 100}));
    canvas.keyDown(KeyCode::up, true);
    EXPECT_EQ(canvas.marks()[0].points.front(), a({100.5, 105}));
    const int steps = undo.count();
    EXPECT_TRUE(canvas.keyDown(117, false));
    EXPECT_TRUE(canvas.marks().empty());
    undo.undo();
    EXPECT_EQ(canvas.marks().size(), 1u);
    EXPECT_EQ(canvas.selectedMarkIndex(), 0);
    EXPECT_EQ(undo.count(), steps + 1);
}

TEST_F(CanvasModelTest, WheelIsThrottledAndStepsWidthsAndSizes) {
    EXPECT_TRUE(canvas.scrollWheel(1));
    EXPECT_EQ(canvas.strokeWidth, 6);
    clock.advance(0.05);
    EXPECT_TRUE(canvas.scrollWheel(-1));  // swallowed
    EXPECT_EQ(canvas.strokeWidth, 6);
    clock.advance(0.1);
    canvas.scrollWheel(1);
    EXPECT_EQ(canvas.strokeWidth, 6);
    for (int i = 0; i < 4; ++i) {
        clock.advance(0.2);
        canvas.scrollWheel(-1);
    }
    EXPECT_EQ(canvas.strokeWidth, 1.5);
    EXPECT_FALSE(canvas.scrollWheel(0));

    canvas.tool = Tool::number;
    drag({50, 50}, {50, 50}, false, 0);
    canvas.applyFontSize(95);
    clock.advance(1);
    canvas.scrollWheel(1);
    EXPECT_EQ(canvas.marks()[0].fontSize, 96);
    clock.advance(1);
    canvas.scrollWheel(1);
    EXPECT_EQ(canvas.marks()[0].fontSize, 96);
    canvas.applyFontSize(3);
    EXPECT_EQ(canvas.fontSize, 10);

    canvas.selectionOnly = true;
    clock.advance(1);
    EXPECT_FALSE(canvas.scrollWheel(1));
}

TEST_F(CanvasModelTest, StyleAppliesToTheSelectedMarkAsOneStep) {
    drag({100, 100}, {200, 200});
    const int steps = undo.count();
    canvas.applyStyle(QColor(Qt::blue), 6);
    EXPECT_EQ(canvas.marks()[0].color, QColor(Qt::blue));
    EXPECT_EQ(canvas.marks()[0].width, 6);
    EXPECT_EQ(undo.count(), steps + 1);
    canvas.applyStyle(QColor(Qt::blue), 6);  // no change: no step
    EXPECT_EQ(undo.count(), steps + 1);
    // Selecting a mark brings its style back to the canvas.
    canvas.applyStyle(QColor(Qt::green), std::nullopt);
    canvas.selectMark(std::nullopt);
    canvas.applyStyle(QColor(Qt::black), 1.5);
    canvas.selectMark(0);
    EXPECT_EQ(canvas.ink, QColor(Qt::green));
    EXPECT_EQ(canvas.strokeWidth, 6);
    canvas.selectMark(7);
    EXPECT_EQ(canvas.selectedMarkIndex(), std::nullopt);
}

TEST_F(CanvasModelTest, EscapeRestoresAMoveWithoutAStep) {
    drag({100, 100}, {200, 200});
    const int steps = undo.count();
    canvas.mouseDown({100, 150}, 1);
    canvas.mouseDragged({150, 180}, false);
    EXPECT_TRUE(canvas.cancelInteraction());
    EXPECT_EQ(canvas.marks()[0].points.front(), a({100, 100}));
    canvas.mouseUp({150, 180}, false);
    EXPECT_EQ(undo.count(), steps);
    EXPECT_FALSE(canvas.cancelInteraction());
    // A draft is dropped the same way.
    canvas.selectMark(std::nullopt);
    canvas.mouseDown({300, 300}, 1);
    canvas.mouseDragged({350, 350}, false);
    EXPECT_TRUE(canvas.cancelInteraction());
    canvas.mouseUp({350, 350}, false);
    EXPECT_EQ(canvas.marks().size(), 1u);
}

TEST(CanvasView, EventsAreFlippedOnceAndTheTextViewKeysWork) {
    ManualClock clock;
    QUndoStack undo;
    auto model = std::make_unique<CanvasModel>(canvasImage(400, 300), 400, 300, &undo, clock);
    Canvas canvas(std::move(model), nullptr);
    canvas.resize(400, 300);
    canvas.show();
    auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, canvas.mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&canvas, &event);
    };
    send(QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton);
    send(QEvent::MouseMove, {110, 120}, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {110, 120}, Qt::NoButton);
    ASSERT_EQ(canvas.model().marks().size(), 1u);
    EXPECT_EQ(canvas.model().marks()[0].points, (std::vector<Point>{{10, 280}, {110, 180}}));

    canvas.model().tool = Tool::text;
    canvas.model().selectMark(std::nullopt);
    send(QEvent::MouseButtonPress, {200, 250}, Qt::LeftButton);
    ASSERT_NE(canvas.textView(), nullptr);
    EXPECT_EQ(canvas.textView()->toolTip(), "回车换行，Ctrl+Return 确认，Esc 取消");
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(canvas.textView(), &a);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(canvas.textView(), &enter);
    QApplication::sendEvent(canvas.textView(), &a);
    EXPECT_EQ(canvas.model().textField()->text, "a\na");
    QKeyEvent confirm(QEvent::KeyPress, Qt::Key_Return, Qt::ControlModifier, "\r");
    QApplication::sendEvent(canvas.textView(), &confirm);
    QApplication::processEvents();
    EXPECT_EQ(canvas.textView(), nullptr);
    ASSERT_EQ(canvas.model().marks().size(), 2u);
    EXPECT_EQ(canvas.model().marks()[1].text, "a\na");

    // Escape in the field drops a new text.
    send(QEvent::MouseButtonPress, {300, 100}, Qt::LeftButton);
    QApplication::sendEvent(canvas.textView(), &a);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(canvas.textView(), &escape);
    QApplication::processEvents();
    EXPECT_EQ(canvas.model().marks().size(), 2u);
}
