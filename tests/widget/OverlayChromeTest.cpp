#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>

#include "annotation/AnnotationToolbar.h"
#include "annotation/Canvas.h"
#include "annotation/CopiedNote.h"
#include "annotation/ToolbarButtons.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "capture/Editor.h"
#include "capture/KeySheet.h"
#include "capture/OverlayWindow.h"
#include "capture/PixelMagnifier.h"
#include "capture/SelectionSizeBadge.h"
#include "capture/SelectionSizeEditor.h"
#include "capture/SelectionView.h"
#include "platform/fake/FakePlatform.h"

using namespace tessal;

namespace {

// A window of known colours on a grey desktop: its first row, last row, first column and last
// column each have their own colour (rows win at the corners), red inside.
struct PaintedWindow {
    QRect pixels;  // device pixels, y down
    static constexpr QRgb desktop = qRgb(60, 60, 60);
    static constexpr QRgb inside = qRgb(230, 20, 20);
    static constexpr QRgb firstRow = qRgb(10, 200, 10);
    static constexpr QRgb lastRow = qRgb(10, 10, 200);
    static constexpr QRgb firstColumn = qRgb(200, 200, 10);
    static constexpr QRgb lastColumn = qRgb(10, 200, 200);

    QImage paint(QSize size) const {
        QImage image(size, QImage::Format_RGB32);
        image.fill(desktop);
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x) {
                QRgb c = inside;
                if (x == pixels.left()) c = firstColumn;
                if (x == pixels.right()) c = lastColumn;
                if (y == pixels.top()) c = firstRow;
                if (y == pixels.bottom()) c = lastRow;
                image.setPixel(x, y, c);
            }
        return image;
    }
};

// Display 0 at the origin, scale 1; display 1 to its right (an offset origin), scale 2.
const PaintedWindow kWindow0{QRect(QPoint(120, 80), QPoint(259, 179))};
const PaintedWindow kWindow1{QRect(QPoint(101, 41), QPoint(300, 250))};

ScreenSnapshot snapshot(const Rect& frame, double scale, const PaintedWindow& window) {
    ScreenSnapshot s;
    s.frame = frame;
    s.image = window.paint(QSize(int(frame.width() * scale), int(frame.height() * scale)));
    const QRectF points(QPointF(window.pixels.topLeft()) / scale,
                        QSizeF(window.pixels.size()) / scale);
    s.windows = {
        Rect(points.x(), frame.height() - points.bottom(), points.width(), points.height())};
    return s;
}

void moveTo(QWidget* view, QPointF at) {
    QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
}

KeyPress key(int code, bool shift = false, bool option = false) {
    KeyPress p;
    p.keyCode = code;
    p.shift = shift;
    p.option = option;
    return p;
}

}  // namespace

class OverlayChromeTest : public ::testing::Test {
  protected:
    OverlayChromeTest() {
        defaults.set("keySheetShown", true);
        start();
    }
    ~OverlayChromeTest() override { editor.reset(); }

    void start() {
        start({snapshot(Rect(0, 0, 400, 300), 1, kWindow0),
               snapshot(Rect(400, 0, 300, 200), 2, kWindow1)});
    }
    void start(std::vector<ScreenSnapshot> snapshots) {
        editor.reset();
        editor = std::make_unique<Editor>(
            std::move(snapshots),
            EditorEnvironment{
                .mainQueue = queue,
                .clock = clock,
                .pasteboard = pasteboard,
                .defaults = defaults,
                .regionQueue = [](std::function<void()> job) { job(); },
                .recognizeText =
                    [this](const QImage&, bool copy, std::function<void()> onCopied,
                           std::function<void()> onClosed) {
                        recognitions.push_back({copy, std::move(onCopied), std::move(onClosed)});
                        return true;
                    }});
        editor->onClose = [this] { ++closes; };
        editor->showWindow();
    }
    bool press(const KeyPress& p, std::size_t root = 0) {
        return editor->handleKey(p, false, false, root);
    }

    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePasteboard pasteboard;
    struct Recognition {
        bool copyWhenReady;
        std::function<void()> onCopied, onClosed;
    };
    std::vector<Recognition> recognitions;
    int closes = 0;
    std::unique_ptr<Editor> editor;
};

// The idle warm-up paints a view of its own: it must leave no window behind, and nothing it
// scheduled may reach the view once it is gone.
TEST_F(OverlayChromeTest, WarmUpLeavesNoWindowAndNoLiveWork) {
    const auto before = QApplication::topLevelWidgets().size();
    SelectionView::warmUp(queue, clock);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
    queue.advance(2);
    queue.runPending();
}

// The pointer's position is the top-left corner of the pixel it covers; the magnifier and Alt+C
// must read that pixel, at every edge of a window, at both scales.
TEST_F(OverlayChromeTest, MagnifierReadsThePixelUnderThePointerAtWindowEdges) {
    struct Case {
        std::size_t root;
        const char* where;
        QPoint pixel;
        QRgb colour;
        bool onWindow;
    };
    const QRect w0 = kWindow0.pixels, w1 = kWindow1.pixels;
    const Case cases[] = {
        {0, "first row", {w0.center().x(), w0.top()}, PaintedWindow::firstRow, true},
        {0, "last row", {w0.center().x(), w0.bottom()}, PaintedWindow::lastRow, true},
        {0, "first column", {w0.left(), w0.center().y()}, PaintedWindow::firstColumn, true},
        {0, "last column", {w0.right(), w0.center().y()}, PaintedWindow::lastColumn, true},
        {0, "row above", {w0.center().x(), w0.top() - 1}, PaintedWindow::desktop, false},
        {0, "display's top row", {5, 0}, PaintedWindow::desktop, false},
        {1, "first row", {w1.center().x(), w1.top()}, PaintedWindow::firstRow, true},
        {1, "last row", {w1.center().x(), w1.bottom()}, PaintedWindow::lastRow, true},
        {1, "first column", {w1.left(), w1.center().y()}, PaintedWindow::firstColumn, true},
        {1, "last column", {w1.right(), w1.center().y()}, PaintedWindow::lastColumn, true},
        {1, "row below", {w1.center().x(), w1.bottom() + 1}, PaintedWindow::desktop, false},
        {1, "display's bottom row", {5, 399}, PaintedWindow::desktop, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "display " << c.root << ", " << c.where);
        SelectionView& view = editor->root(c.root);
        const double scale = editor->model(c.root).snapshot().image.width() / double(view.width());
        editor->model(1 - c.root).mouseExited();
        // At the pixel's corner (where a pointer sits) and inside it.
        for (const double offset : {0.0, 0.5}) {
            moveTo(&view, (QPointF(c.pixel) + QPointF(offset, offset)) / scale);
            ASSERT_TRUE(view.magnifier().sample());
            EXPECT_EQ(view.magnifier().sample()->x, c.pixel.x());
            EXPECT_EQ(view.magnifier().sample()->y, c.pixel.y());
            EXPECT_EQ(view.magnifier().sample()->color, QColor(c.colour));
            // The highlight follows the same pixel.
            EXPECT_EQ(editor->model(c.root).hoveredWindow() ==
                          editor->model(c.root).snapshot().windows[0],
                      c.onWindow);
            ASSERT_TRUE(press(key(KeyCode::c, false, true)));
            EXPECT_EQ(pasteboard.text, QColor(c.colour).name().toUpper());
            EXPECT_TRUE(view.magnifier().copied());
        }
    }
    // "已复制" stays while the pointer stays on the copied pixel and goes on the next one, in
    // either direction.
    SelectionView& view = editor->root(0);
    for (const QPointF step : {QPointF(0, 1), QPointF(1, 0), QPointF(0, -1)}) {
        moveTo(&view, QPointF(200, 100));
        press(key(KeyCode::c, false, true));
        moveTo(&view, QPointF(200.4, 100.4));
        EXPECT_TRUE(view.magnifier().copied());
        moveTo(&view, QPointF(200, 100) + step);
        EXPECT_FALSE(view.magnifier().copied());
    }
}

// The still shows the highlighted window before the overlays have painted: what it is given
// must be what the overlay paints there, placed at the display's own pixels.
TEST_F(OverlayChromeTest, StillIsLitWithWhatTheOverlayPaintsAroundTheHoveredWindow) {
    struct Drawn {
        Rect frame;
        QPoint offset;
        QImage pixels;
    };
    std::vector<Drawn> drawn;
    const auto collect = [&drawn](const Rect& frame, QPoint offset, const QImage& pixels) {
        drawn.push_back({frame, offset, pixels});
    };
    editor->drawOnStill(collect);
    EXPECT_TRUE(drawn.empty()) << "nothing is hovered yet";

    const PaintedWindow* windows[] = {&kWindow0, &kWindow1};
    for (std::size_t root = 0; root < 2; ++root) {
        SCOPED_TRACE(testing::Message() << "display " << root);
        SelectionView& view = editor->root(root);
        const QImage& still = editor->model(root).snapshot().image;
        const double scale = still.width() / double(view.width());
        editor->model(1 - root).mouseExited();
        moveTo(&view, QPointF(windows[root]->pixels.center()) / scale);
        drawn.clear();
        editor->drawOnStill(collect);
        ASSERT_EQ(drawn.size(), 1u);
        const Drawn& d = drawn.front();
        EXPECT_EQ(d.frame, editor->model(root).snapshot().frame);

        // Exactly the overlay's own painting of that area, children (badge, magnifier) aside.
        QImage painted(d.pixels.size(), QImage::Format_RGB32);
        painted.setDevicePixelRatio(scale);
        const QRect area(QPointF(QPointF(d.offset) / scale).toPoint(),
                         QSizeF(QSizeF(d.pixels.size()) / scale).toSize());
        view.render(&painted, QPoint(), QRegion(area), QWidget::DrawWindowBackground);
        EXPECT_EQ(d.pixels.convertToFormat(QImage::Format_RGB32), painted);

        // Placed where the window is: its inside as frozen, undimmed; the desktop beside the
        // border dimmed.
        const QRect window = windows[root]->pixels;
        const QPoint inside = window.center() - d.offset;
        EXPECT_EQ(d.pixels.pixel(inside), still.pixel(window.center()));
        const QPoint corner = QPoint(0, 0);
        EXPECT_NE(d.pixels.pixel(corner), still.pixel(d.offset + corner));
        EXPECT_LT(qRed(d.pixels.pixel(corner)), qRed(PaintedWindow::desktop));
    }

    // Once a rectangle is chosen the overlay shows more than the still could.
    editor->select(Rect(20, 20, 100, 60), 0);
    drawn.clear();
    editor->drawOnStill(collect);
    EXPECT_TRUE(drawn.empty());
}

namespace {

void sendKey(QWidget* to, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(to, &press);
}

}  // namespace

// Clicking the badge turns it into two fields where it stands; the capture stays on screen, the
// selection unchanged, until Return applies a size or Escape leaves it as it was.
TEST_F(OverlayChromeTest, SizeIsTypedInPlaceWithTheSelectionInView) {
    editor->select(Rect(20, 20, 100, 60), 1);  // scale 2: 200 × 120 pixels
    SelectionView& view = editor->root(1);
    const Rect chosen = *editor->model(1).selection();
    SelectionSizeEditor& fields = view.sizeEditor();
    auto clickBadge = [&] {
        // Whatever takes a click there: the badge, once it is editable.
        QWidget* badge = view.childAt(view.sizeBadge().geometry().center());
        ASSERT_EQ(badge, &view.sizeBadge());
        const QPointF at(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, at, badge->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(badge, &press);
    };
    clickBadge();
    ASSERT_TRUE(fields.editing());
    EXPECT_EQ(fields.widthField()->text(), "200");
    EXPECT_EQ(fields.heightField()->text(), "120");
    // Nothing of the capture goes away while typing.
    EXPECT_TRUE(editor->overlays()[1]->isVisible());
    EXPECT_EQ(editor->model(1).selection(), chosen);
    EXPECT_NE(editor->canvas(), nullptr);
    EXPECT_FALSE(view.sizeBadge().isVisible());  // the fields stand in its place
    EXPECT_EQ(fields.geometry().topLeft(), view.sizeBadge().geometry().topLeft());
    EXPECT_FALSE(press(key(KeyCode::escape), 1));  // the session's keys rest meanwhile
    EXPECT_FALSE(press(key(KeyCode::right), 1));
    EXPECT_EQ(editor->model(1).selection(), chosen);

    // What is not a size of at least 1 is not applied and the fields stay open.
    for (const char* typed : {"", "0", "-5", "abc"}) {
        SCOPED_TRACE(typed);
        fields.widthField()->setText(QString::fromUtf8(typed));
        sendKey(fields.widthField(), Qt::Key_Return);
        EXPECT_TRUE(fields.editing());
        EXPECT_EQ(editor->model(1).selection(), chosen);
    }

    // Escape: closed, nothing changed, the capture goes on.
    fields.widthField()->setText("64");
    sendKey(fields.widthField(), Qt::Key_Escape);
    EXPECT_FALSE(fields.editing());
    EXPECT_EQ(editor->model(1).selection(), chosen);
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(view.sizeBadge().isVisible());
    EXPECT_EQ(view.sizeBadge().text(), "200 × 120 px");

    // Return: the exact pixel size, in place.
    clickBadge();
    fields.widthField()->setText("64");
    fields.heightField()->setText("48");
    sendKey(fields.heightField(), Qt::Key_Enter);
    EXPECT_FALSE(fields.editing());
    EXPECT_EQ(editor->canvas()->model().pixelWidth(), 64);
    EXPECT_EQ(editor->canvas()->model().pixelHeight(), 48);
    EXPECT_EQ(editor->model(1).selection()->size, (Size{32, 24}));
    EXPECT_EQ(view.sizeBadge().text(), "64 × 48 px");
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(editor->overlays()[1]->isVisible());

    // Fields left open when the selection is chosen again are dropped with it.
    clickBadge();
    editor->handleRightClick({10, 10}, 1);
    EXPECT_FALSE(fields.editing());
}

// Recognised text copied (Shift+C, or the window's button) is confirmed next to the pointer with
// the magnifier's own "已复制", which then goes away by itself.
TEST_F(OverlayChromeTest, CopiedTextIsConfirmedNextToThePointer) {
    auto noteShown = [] { return CopiedNote::current() && CopiedNote::current()->isVisible(); };
    // One left by another test, whose clock no longer runs.
    if (noteShown()) CopiedNote::current()->close();
    for (const bool keepsSession : {false, true}) {
        SCOPED_TRACE(keepsSession ? "session kept" : "session closes");
        defaults.set("copyCloses", !keepsSession);
        start();
        recognitions.clear();
        closes = 0;
        editor->select(Rect(20, 20, 100, 60), 0);
        ASSERT_TRUE(press(key(KeyCode::c, true)));       // Shift+C
        SerialQueue::named("local.ostrel.png").flush();  // the PNG is made on the worker
        queue.advance(0);
        ASSERT_EQ(recognitions.size(), 1u);
        EXPECT_FALSE(noteShown());  // nothing until the text is on the clipboard
        recognitions[0].onCopied();
        recognitions[0].onClosed();
        QWidget* note = CopiedNote::current();
        ASSERT_NE(note, nullptr);
        EXPECT_TRUE(note->isVisible());
        EXPECT_EQ(note->accessibleName(), CopiedNote::text());
        EXPECT_LT((note->geometry().center() - QCursor::pos()).manhattanLength(), 80);
        EXPECT_TRUE(note->testAttribute(Qt::WA_ShowWithoutActivating));
        EXPECT_EQ(closes, keepsSession ? 0 : 1);
        queue.advance(CopiedNote::duration + 0.1);
        QApplication::processEvents();
        EXPECT_FALSE(noteShown());
    }
}

// Large enough for the sheet to find a free corner: 1280 × 800 at scale 1 and a second display.
std::vector<ScreenSnapshot> wideDisplays() {
    return {snapshot(Rect(0, 0, 1280, 800), 1, kWindow0),
            snapshot(Rect(1280, 0, 1280, 800), 2, kWindow1)};
}

TEST_F(OverlayChromeTest, KeySheetShowsOnTheFirstCaptureOnlyAndEscapeClosesJustTheSheet) {
    defaults.remove("keySheetShown");
    start(wideDisplays());
    ASSERT_GE(editor->keySheetRoot(), 0);
    EXPECT_TRUE(editor->root(editor->keySheetRoot()).keySheet().isVisible());
    // Remembered in the stored preferences, not just in this session.
    EXPECT_EQ(DefaultsStore(defaults.path()).boolValue("keySheetShown"), true);
    EXPECT_TRUE(press(key(KeyCode::escape)));
    EXPECT_EQ(editor->keySheetRoot(), -1);
    EXPECT_FALSE(editor->root(0).keySheet().isVisible());
    EXPECT_EQ(closes, 0);  // the capture goes on
    EXPECT_TRUE(press(key(KeyCode::escape)));
    EXPECT_EQ(closes, 1);

    start(wideDisplays());  // the next capture
    EXPECT_EQ(editor->keySheetRoot(), -1);
    EXPECT_FALSE(editor->root(0).keySheet().isVisible());
}

TEST_F(OverlayChromeTest, KeySheetTogglesWithF1OrQuestionMarkAndOtherKeysStillAct) {
    start(wideDisplays());
    ASSERT_EQ(editor->keySheetRoot(), -1);
    const KeyPress f1 = key(KeyCode::f1), question = key(KeyCode::slash, true);
    struct Case {
        const char* name;
        KeyPress press;
        bool toggles;
    };
    KeyPress controlF1 = f1, shiftF1 = key(KeyCode::f1, true), altQuestion = question;
    controlF1.control = true;
    altQuestion.option = true;
    for (const Case& c :
         {Case{"F1", f1, true}, Case{"?", question, true}, Case{"/", key(KeyCode::slash), false},
          Case{"Control+F1", controlF1, false}, Case{"Shift+F1", shiftF1, false},
          Case{"Alt+?", altQuestion, false}}) {
        SCOPED_TRACE(c.name);
        press(c.press);
        EXPECT_EQ(editor->keySheetRoot() >= 0, c.toggles);
        press(c.press);
        EXPECT_EQ(editor->keySheetRoot(), -1);
    }
    // Once a selection is chosen the sheet moves to its display and keeps clear of it, its
    // toolbar and its badge.
    press(f1);
    editor->select(Rect(100, 300, 300, 200), 1);
    ASSERT_EQ(editor->keySheetRoot(), 1);
    SelectionView& view = editor->root(1);
    const QRect sheet = view.keySheet().geometry();
    EXPECT_TRUE(view.keySheet().isVisible());
    EXPECT_FALSE(editor->root(0).keySheet().isVisible());
    EXPECT_FALSE(sheet.intersects(editor->toolbar()->geometry()));
    EXPECT_FALSE(sheet.intersects(editor->canvas()->geometry()));
    EXPECT_FALSE(sheet.intersects(view.sizeBadge().geometry()));
    EXPECT_TRUE(view.rect().contains(sheet));
    // A tool letter closes it and still chooses the tool.
    EXPECT_TRUE(press(key(15)));  // R
    EXPECT_EQ(editor->keySheetRoot(), -1);
    EXPECT_EQ(editor->toolbar()->activeTool(), 2);
    // While text is typed on the canvas, "?" is text.
    editor->canvas()->model().tool = Tool::text;
    editor->canvas()->model().mouseDown({20, 20}, 1);
    ASSERT_TRUE(editor->canvas()->editingText());
    EXPECT_FALSE(press(question));
    EXPECT_EQ(editor->keySheetRoot(), -1);
}

// The sheet is drawn on the overlay only: what is copied is the frozen image, even where the
// sheet lies over the selection.
TEST_F(OverlayChromeTest, KeySheetIsNeverInTheCopiedImage) {
    defaults.set("copyCloses", false);
    start(wideDisplays());
    press(key(KeyCode::f1));
    editor->select(Rect(0, 0, 1280, 800), 0);  // no corner is free: the sheet covers the image
    SelectionView& view = editor->root(0);
    ASSERT_TRUE(view.keySheet().isVisible());
    EXPECT_TRUE(editor->canvas()->geometry().intersects(view.keySheet().geometry()));
    editor->toolbar()->action(ToolbarActionId::copy)->click();
    ASSERT_TRUE(view.keySheet().isVisible());
    const QImage copied = QImage::fromData(pasteboard.png).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(copied, editor->model(0).snapshot().image.convertToFormat(QImage::Format_RGB32));
}
