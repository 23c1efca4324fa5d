#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <mutex>
#include <thread>

#include "platform/KeyCodes.h"
#include "platform/wayland/SwayWindows.h"
#include "platform/wayland/VirtualPointer.h"
#include "platform/wayland/WaylandWindowStream.h"
#include "platform/wayland/WaylandWorkspace.h"
#include "support/SocketStandIn.h"

using namespace tessal;

namespace {

// A sway IPC socket of the test's: answers every request with `reply` and keeps the commands.
class CommandSocket {
  public:
    explicit CommandSocket(QByteArray reply)
        : socket_(
              [this, reply = std::move(reply)](int fd, const QByteArray& request) {
                  {
                      std::lock_guard lock(mutex_);
                      commands_ << request.mid(14);  // after the magic, length and type
                  }
                  const QByteArray answer = swayMessage(0, reply);
                  (void)!write(fd, answer.constData(), std::size_t(answer.size()));
              },
              -1) {}
    QString path() const { return socket_.path(); }
    QList<QByteArray> commands() {
        std::lock_guard lock(mutex_);
        return commands_;
    }

  private:
    std::mutex mutex_;
    QList<QByteArray> commands_;
    SocketStandIn socket_;  // last: its thread uses the members above
};

}  // namespace

TEST(SwayCommands, FocusAndPanelsAreAskedOverIpcAndTheAnswerCounts) {
    struct Case {
        const char* what;
        QByteArray reply;
        bool succeeds;
    };
    const std::vector<Case> cases{
        {"every command done", R"([{"success": true}, {"success": true}])", true},
        {"one refused", R"([{"success": true}, {"success": false, "error": "no"}])", false},
        {"an empty list", "[]", false},
        {"not JSON", "no", false},
    };
    for (const Case& c : cases) {
        CommandSocket socket(c.reply);
        SwayWindows sway(socket.path(), 200);
        EXPECT_EQ(sway.focus(42), c.succeeds) << c.what;
        EXPECT_EQ(
            sway.keepPanel(77, QStringLiteral("Tessal · 长截图 (1) [x]"), QRect(10, 20, 30, 40)),
            c.succeeds)
            << c.what;
        // no_focus once per window; the position every time.
        EXPECT_EQ(
            sway.keepPanel(77, QStringLiteral("Tessal · 长截图 (1) [x]"), QRect(15, 25, 30, 40)),
            c.succeeds)
            << c.what;
        const QByteArray criteria = R"([pid=77 title="^Tessal · 长截图 \(1\) \[x\]$"])";
        const QByteArray place =
            "floating enable, sticky enable, border none, move absolute position ";
        // A window not mapped yet (the command fails) gets a rule for when it maps, its commands
        // quoted so that sway runs them all on that window.
        const auto now = [&](const char* at) { return criteria + " " + place + at; };
        const auto rule = [&](const char* at) {
            return "for_window " + criteria + " \"" + place + at + "\"";
        };
        const QList<QByteArray> expected =
            c.succeeds
                ? QList<QByteArray>{"[con_id=42] focus", "no_focus " + criteria, now("10 20"),
                                    now("15 25")}
                : QList<QByteArray>{"[con_id=42] focus", "no_focus " + criteria, now("10 20"),
                                    rule("10 20"),       now("15 25"),           rule("15 25")};
        EXPECT_EQ(socket.commands(), expected) << c.what;
    }
    EXPECT_FALSE(SwayWindows("/nonexistent/sway-ipc.sock").focus(1));
    EXPECT_EQ(swayPanelCriteria(5, QStringLiteral("a\"b.c")),
              QByteArray(R"([pid=5 title="^a.b\.c$"])"));
}

TEST(WaylandScrolling, ThePointerIsLeftClearOfTheRegionPreferablyOverTheSource) {
    const QRect output(0, 0, 1280, 800);
    const QMargins cursor(8, 8, 40, 40);
    struct Case {
        const char* what;
        QRect region, source;
        QPoint at, expected;
    };
    const std::vector<Case> cases{
        {"below the region, inside the source", QRect(200, 150, 600, 400), QRect(0, 0, 1280, 800),
         QPoint(500, 350), QPoint(500, 558)},
        {"right of it when the source ends below", QRect(200, 150, 600, 400),
         QRect(100, 100, 800, 470), QPoint(500, 350), QPoint(808, 350)},
        {"above it when only that fits", QRect(200, 150, 600, 400), QRect(150, 90, 680, 480),
         QPoint(500, 350), QPoint(500, 109)},
        {"left of it", QRect(200, 150, 600, 400), QRect(140, 150, 680, 420), QPoint(500, 350),
         QPoint(159, 350)},
        {"outside the source when nothing in it fits", QRect(10, 10, 1200, 700),
         QRect(10, 10, 1200, 700), QPoint(600, 360), QPoint(600, 718)},
        {"no preference", QRect(200, 150, 600, 400), QRect(), QPoint(500, 350), QPoint(500, 558)},
        {"the farthest corner when nothing fits", QRect(0, 0, 1280, 790), QRect(), QPoint(600, 360),
         QPoint(1279, 799)},
    };
    for (const Case& c : cases) {
        const QPoint p = parkingPoint(c.region, c.source, output, c.at, cursor);
        EXPECT_EQ(p, c.expected) << c.what;
        if (c.expected != QPoint(1279, 799)) {
            const QRect picture = QRect(p, p).marginsAdded(cursor);
            EXPECT_FALSE(picture.intersects(c.region)) << c.what;
            EXPECT_TRUE(output.contains(picture)) << c.what;
        }
    }
}

TEST(WaylandFrames, AWindowIsReadFromItsOutputAtTheOutputsScale) {
    struct Case {
        const char* what;
        QRect content, output;
        double scale;
        OutputPart expected;
    };
    const std::vector<Case> cases{
        {"scale 1",
         QRect(100, 50, 600, 400),
         QRect(0, 0, 1280, 800),
         1,
         {QRect(100, 50, 600, 400), QPoint(0, 0), QSize(600, 400)}},
        {"scale 1.5 on a second output",
         QRect(1380, 100, 301, 201),
         QRect(1280, 0, 1280, 800),
         1.5,
         {QRect(100, 100, 301, 201), QPoint(0, 0), QSize(452, 302)}},
        {"scale 2, reaching past the output's left edge",
         QRect(1200, 10, 300, 200),
         QRect(1280, 0, 800, 600),
         2,
         {QRect(0, 10, 220, 200), QPoint(160, 0), QSize(600, 400)}},
        {"on another output", QRect(0, 0, 100, 100), QRect(1280, 0, 800, 600), 2, {}},
    };
    for (const Case& c : cases) {
        const OutputPart part = outputPart(c.content, c.output, c.scale);
        EXPECT_EQ(part.region, c.expected.region) << c.what;
        EXPECT_EQ(part.offset, c.expected.offset) << c.what;
        EXPECT_EQ(part.pictureSize, c.expected.pictureSize) << c.what;
    }
}

TEST(WaylandFrames, AScreenCastFrameIsCutAtItsOwnScale) {
    struct Case {
        const char* what;
        QRect points, display;
        QSize whole;
        QRect expected;
    };
    const std::vector<Case> cases{
        {"scale 1", QRect(100, 50, 600, 400), QRect(0, 0, 1280, 800), QSize(1280, 800),
         QRect(100, 50, 600, 400)},
        {"scale 1.5 on a second display", QRect(1380, 100, 301, 201), QRect(1280, 0, 1280, 800),
         QSize(1920, 1200), QRect(150, 150, 452, 302)},
        {"scale 2", QRect(10, 20, 300, 200), QRect(0, 0, 1280, 800), QSize(2560, 1600),
         QRect(20, 40, 600, 400)},
        // A desktop may cast at another scale than the display's.
        {"cast at 1.25", QRect(100, 100, 400, 300), QRect(0, 0, 1280, 800), QSize(1600, 1000),
         QRect(125, 125, 500, 375)},
        {"reaching past the display's left edge", QRect(1200, 10, 300, 200),
         QRect(1280, 0, 800, 600), QSize(1600, 1200), QRect(-160, 20, 600, 400)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(screenCastPixels(c.points, c.display, c.whole), c.expected) << c.what;
    // Rectangles side by side stay side by side at any scale: no pixel lost or taken twice.
    const QRect display(0, 0, 1280, 800);
    for (const QSize whole : {QSize(1600, 1000), QSize(1920, 1200), QSize(2240, 1400)})
        for (int x = 0; x < 40; ++x) {
            const QRect left = screenCastPixels(QRect(13, 7, 100 + x, 50), display, whole);
            const QRect right = screenCastPixels(QRect(113 + x, 57, 31, 50), display, whole);
            const QRect below = screenCastPixels(QRect(13, 57, 100 + x, 50), display, whole);
            EXPECT_EQ(right.left(), left.right() + 1) << whole.width() << " " << x;
            EXPECT_EQ(below.top(), left.bottom() + 1) << whole.width() << " " << x;
        }
}

TEST(WaylandKeys, ReturnSpaceAndEscapeReachTheCaptureFromOurPanelsOnly) {
    WaylandWorkspace workspace;
    std::vector<std::pair<int, bool>> keys;
    QWidget panel(nullptr, Qt::Tool);
    QDialog dialog;
    panel.show();
    dialog.show();
    ASSERT_TRUE(panel.windowHandle() && dialog.windowHandle());
    const auto press = [](QWindow* window, int key, Qt::KeyboardModifiers modifiers = {},
                          bool repeat = false) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, QString(), repeat);
        QApplication::sendEvent(window, &event);
    };
    {
        auto tap =
            workspace.tapKeys({}, [&](int code, bool repeat) { keys.emplace_back(code, repeat); });
        ASSERT_TRUE(tap);
        press(panel.windowHandle(), Qt::Key_Return);
        press(panel.windowHandle(), Qt::Key_Space, {}, true);
        press(panel.windowHandle(), Qt::Key_Escape);
        press(panel.windowHandle(), Qt::Key_Enter, Qt::KeypadModifier);
        press(panel.windowHandle(), Qt::Key_A);
        press(panel.windowHandle(), Qt::Key_Return, Qt::ControlModifier);
        press(dialog.windowHandle(), Qt::Key_Return);
    }
    press(panel.windowHandle(), Qt::Key_Escape);  // the tap is gone
    const std::vector<std::pair<int, bool>> expected{{KeyCode::returnKey, false},
                                                     {KeyCode::space, true},
                                                     {KeyCode::escape, false},
                                                     {KeyCode::returnKey, false}};
    EXPECT_EQ(keys, expected);
}

TEST(WaylandSource, TheFocusedViewIsTheFrontmostAndFocusGoesThroughTheCompositor) {
    // Two tiled views; the second has the keyboard.
    const QByteArray tree = R"({"type": "root", "nodes": [{"type": "output", "nodes": [
        {"type": "workspace", "name": "1", "nodes": [
            {"id": 4, "type": "con", "app_id": "a", "pid": 10, "visible": true, "focused": false,
             "rect": {"x": 0, "y": 0, "width": 640, "height": 800}, "nodes": []},
            {"id": 5, "type": "con", "app_id": "b", "pid": 11, "visible": true, "focused": true,
             "rect": {"x": 640, "y": 0, "width": 640, "height": 800}, "nodes": []}]}]}]})";
    const auto windows = swayWindowsFromTree(tree);
    ASSERT_TRUE(windows);
    ASSERT_EQ(windows->size(), 2u);
    EXPECT_FALSE((*windows)[0].focused);
    EXPECT_TRUE((*windows)[1].focused);

    struct Listed final : CompositorWindows {
        std::vector<CompositorWindow> list;
        std::vector<unsigned> focusedIds;
        std::optional<std::vector<CompositorWindow>> windows() override { return list; }
        bool focus(unsigned id) override { return focusedIds.push_back(id), true; }
    };
    auto listed = std::make_unique<Listed>();
    listed->list = *windows;
    Listed* raw = listed.get();
    WaylandWorkspace workspace(std::move(listed), 77);
    EXPECT_EQ(workspace.frontmost(), (WindowOwner{11, 5}));
    EXPECT_TRUE(workspace.activate({10, 4}));
    EXPECT_EQ(raw->focusedIds, std::vector<unsigned>{4});
    EXPECT_FALSE(workspace.activate({10, 0}));  // no window to name
    raw->list[1].focused = false;
    EXPECT_EQ(workspace.frontmost(), WindowOwner{});
    EXPECT_EQ(WaylandWorkspace().frontmost(), WindowOwner{});
}
