#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QVariantMap>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "platform/ScreenCaptureService.h"
#include "platform/wayland/CompositorWindows.h"
#include "platform/wayland/HyprlandWindows.h"
#include "platform/wayland/SwayWindows.h"
#include "support/SocketStandIn.h"

using namespace tessal;

namespace {

// A view as sway reports it: `rect` below the title bar, `window_rect` inside the border.
QString view(int id, const char* appId, int pid, QRect rect, int title, bool visible,
             const char* extra = "") {
    return QStringLiteral(R"({"id": %1, "type": "con", "app_id": "%2", "pid": %3, "visible": %4,
        "focused": false, "fullscreen_mode": 0,
        "rect": {"x": %5, "y": %6, "width": %7, "height": %8},
        "window_rect": {"x": 3, "y": 0, "width": %9, "height": %10},
        "deco_rect": {"x": 0, "y": 0, "width": %7, "height": %11},
        "nodes": [], "floating_nodes": [] %12})")
        .arg(id)
        .arg(appId)
        .arg(pid)
        .arg(visible ? "true" : "false")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height())
        .arg(rect.width() - 6)
        .arg(rect.height() - 3)
        .arg(title)
        .arg(extra);
}

QString workspace(const QString& name, const QStringList& tiled, const QStringList& floating) {
    return QStringLiteral(R"({"id": 90, "type": "workspace", "name": "%1", "nodes": [%2],
        "floating_nodes": [%3]})")
        .arg(name, tiled.join(','), floating.join(','));
}

// Two outputs: on the first two tiled terminals, a hidden tab and two floating windows (the
// later one in front); on the second a fullscreen window and an X11 client; a stashed window in
// the scratchpad.
QByteArray recordedTree() {
    const QString floatingBack = view(7, "back", 70, QRect(100, 125, 300, 200), 25, true)
                                     .replace("\"con\"", "\"floating_con\"");
    const QString floatingFront = view(8, "front", 80, QRect(200, 175, 600, 375), 25, true)
                                      .replace("\"con\"", "\"floating_con\"");
    const QString x11 = QStringLiteral(R"({"id": 12, "type": "con", "app_id": null,
        "window": 4194307, "pid": 120, "visible": true, "fullscreen_mode": 0,
        "rect": {"x": 1280, "y": 400, "width": 800, "height": 200},
        "window_rect": {"x": 0, "y": 0, "width": 800, "height": 200},
        "deco_rect": {"x": 0, "y": 0, "width": 0, "height": 0}, "nodes": [], "floating_nodes": []})");
    const QString first = workspace("1",
                                    {view(5, "left", 50, QRect(0, 25, 640, 775), 25, true),
                                     view(6, "right", 60, QRect(640, 25, 640, 775), 25, true),
                                     view(9, "tab", 90, QRect(640, 25, 640, 775), 25, false)},
                                    {floatingBack, floatingFront});
    const QString second = workspace(
        "2",
        {view(11, "movie", 110, QRect(1280, 0, 800, 600), 0, true, R"(, "fullscreen_mode": 1)"),
         x11},
        {});
    const QString scratch =
        workspace("__i3_scratch", {}, {view(13, "stash", 130, QRect(10, 10, 100, 100), 0, true)});
    return QStringLiteral(R"({"id": 1, "type": "root", "nodes": [
        {"id": 2, "type": "output", "name": "__i3", "nodes": [%1]},
        {"id": 3, "type": "output", "name": "HEADLESS-1", "nodes": [%2]},
        {"id": 4, "type": "output", "name": "HEADLESS-2", "nodes": [%3]}]})")
        .arg(scratch, first, second)
        .toUtf8();
}

using StandIn = SocketStandIn;

void writeAll(int fd, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            send(fd, bytes.constData() + sent, std::size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += n;
    }
}

}  // namespace

TEST(SwayWindows, TheTreeGivesTheShownWindowsFrontToBackWithTheirTitleBars) {
    const auto windows = swayWindowsFromTree(recordedTree());
    ASSERT_TRUE(windows);
    std::vector<unsigned> order;
    for (const CompositorWindow& w : *windows) order.push_back(w.id);
    // Fullscreen first, the floating window drawn last before the one drawn first, then tiled;
    // the hidden tab and the stashed window are not shown.
    EXPECT_EQ(order, (std::vector<unsigned>{11, 8, 7, 5, 6, 12}));
    const CompositorWindow& left = (*windows)[3];
    EXPECT_EQ(left.frame, QRect(0, 0, 640, 800)) << "the title bar belongs to the frame";
    EXPECT_EQ(left.content, QRect(3, 25, 634, 772));
    EXPECT_EQ(left.pid, 50);
    EXPECT_EQ((*windows)[5].frame, QRect(1280, 400, 800, 200)) << "an X11 client without title";

    for (const char* bad : {"", "{", "[]", R"({"type": "output"})", "\xff\xfe"})
        EXPECT_FALSE(swayWindowsFromTree(bad)) << bad;
    // Fields of the wrong type are read as missing, never trusted.
    const auto odd = swayWindowsFromTree(
        R"({"type": "root", "nodes": [{"type": "con", "app_id": "x", "visible": true, "id": "7",
            "pid": -5, "rect": {"x": "a", "y": 0, "width": 10, "height": 10}}]})");
    ASSERT_TRUE(odd);
    ASSERT_EQ(odd->size(), 1u);
    EXPECT_EQ(odd->front().pid, 0);
    EXPECT_EQ(odd->front().frame, QRect(0, 0, 10, 10));
}

TEST(SwayWindows, EntriesAreInWindowListPointsFromThePrimaryDisplay) {
    const std::vector<CompositorWindow> windows{
        {5, QRect(1300, 100, 400, 300), QRect(1303, 125, 394, 272), 50, true},
        {6, QRect(10, 20, 30, 40), QRect(10, 20, 30, 40), 0, false}};
    const QVariantList list = windowListEntries(windows, QPoint(1280, 60));
    ASSERT_EQ(list.size(), 2);
    const QVariantMap first = list[0].toMap();
    EXPECT_EQ(first.value(WindowKey::number).toUInt(), 5u);
    EXPECT_EQ(first.value(WindowKey::pid).toLongLong(), 50);
    const QVariantMap bounds = first.value(WindowKey::bounds).toMap();
    EXPECT_EQ(bounds.value("x").toInt(), 20);
    EXPECT_EQ(bounds.value("y").toInt(), 40);
    EXPECT_EQ(first.value(WindowKey::content).toMap().value("y").toInt(), 65);
    EXPECT_FALSE(list[1].toMap().contains(WindowKey::pid)) << "an unknown process is left out";
    EXPECT_EQ(list[1].toMap().value(WindowKey::bounds).toMap().value("x").toInt(), -1270);
}

// Whatever the socket does, the answer comes within the time box: a list, or nothing (and the
// capture falls back to the displays).
TEST(SwayWindows, TheSocketIsAskedWithinItsTimeBox) {
    using Clock = std::chrono::steady_clock;
    const QByteArray tree = recordedTree();
    struct Case {
        const char* what;
        std::function<void(int, const QByteArray&)> answer;
        bool listed;
    };
    const std::vector<Case> cases{
        {"a whole answer, in pieces",
         [&](int fd, const QByteArray&) {
             const QByteArray message = swayMessage(4, tree);
             writeAll(fd, message.left(9));
             std::this_thread::sleep_for(std::chrono::milliseconds(10));
             writeAll(fd, message.mid(9));
         },
         true},
        {"no answer",
         [](int, const QByteArray&) {
             std::this_thread::sleep_for(std::chrono::milliseconds(400));
         },
         false},
        {"closed mid-answer",
         [&](int fd, const QByteArray&) { writeAll(fd, swayMessage(4, tree).left(200)); }, false},
        {"the answer to another request",
         [&](int fd, const QByteArray&) { writeAll(fd, swayMessage(3, tree)); }, false},
        {"not the protocol",
         [](int fd, const QByteArray&) { writeAll(fd, "HTTP/1.1 400 Bad Request\r\n\r\n"); },
         false},
        {"megabytes announced and sent",
         [](int fd, const QByteArray&) { writeAll(fd, swayMessage(4, QByteArray(40 << 20, ' '))); },
         false},
    };
    for (const Case& c : cases) {
        StandIn standIn(c.answer);
        SwayWindows sway(standIn.path(), 100);
        const auto start = Clock::now();
        const auto windows = sway.windows();
        const auto took = Clock::now() - start;
        EXPECT_EQ(bool(windows), c.listed) << c.what;
        if (windows) {
            EXPECT_EQ(windows->size(), 6u);
        }
        EXPECT_LT(took, std::chrono::milliseconds(300)) << c.what;
    }
    EXPECT_FALSE(SwayWindows("/nonexistent/sway-ipc.sock").windows());
}

namespace {

// Two monitors showing workspaces 1 and 5, with the special workspace open on the first.
const QByteArray hyprMonitors = R"([
    {"id": 0, "name": "DP-1", "activeWorkspace": {"id": 1}, "specialWorkspace": {"id": -98}},
    {"id": 1, "name": "DP-2", "activeWorkspace": {"id": 5}, "specialWorkspace": {"id": 0}}])";

QByteArray hyprClient(const char* address, int workspace, QRect r, bool floating, int recency,
                      const char* extra = "") {
    return QStringLiteral(R"({"address": "%1", "mapped": true, "hidden": false,
        "at": [%2, %3], "size": [%4, %5], "workspace": {"id": %6}, "floating": %7,
        "pid": 4%8, "fullscreen": false, "pinned": false, "focusHistoryID": %8 %9})")
        .arg(address)
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(workspace)
        .arg(floating ? "true" : "false")
        .arg(recency)
        .arg(extra)
        .toUtf8();
}

QByteArray hyprClients() {
    const QList<QByteArray> clients{
        hyprClient("0x10", 1, QRect(10, 10, 600, 800), false, 3),
        hyprClient("0x20", 1, QRect(630, 10, 600, 800), false, 1),
        hyprClient("0x30", 1, QRect(100, 100, 400, 300), true, 2),
        hyprClient("0x40", 2, QRect(10, 10, 600, 800), false, 4),  // another workspace
        hyprClient("0x50", 3, QRect(50, 50, 200, 100), true, 5, R"(, "pinned": true)"),
        hyprClient("0x60", -98, QRect(300, 300, 500, 400), true, 0),  // the special workspace
        hyprClient("0x70", 5, QRect(1920, 0, 1920, 1080), false, 6, R"(, "fullscreen": 2)"),
        hyprClient("0x80", 1, QRect(0, 0, 10, 10), true, 7, R"(, "hidden": true)"),
        hyprClient("0x90", 1, QRect(0, 0, 10, 10), true, 8, R"(, "mapped": false)"),
    };
    return "[" + clients.join(",") + "]";
}

}  // namespace

TEST(HyprlandWindows, ClientsOnShownWorkspacesFrontToBackWithTheirBorders) {
    const auto windows = hyprlandWindowsFrom(hyprClients(), hyprMonitors, 2);
    ASSERT_TRUE(windows);
    std::vector<unsigned> order;
    for (const CompositorWindow& w : *windows) order.push_back(w.id);
    EXPECT_EQ(order, (std::vector<unsigned>{0x70, 0x60, 0x30, 0x50, 0x20, 0x10}));
    EXPECT_EQ(windows->front().frame, QRect(1920, 0, 1920, 1080)) << "no border when fullscreen";
    const CompositorWindow& tiled = windows->back();
    EXPECT_EQ(tiled.content, QRect(10, 10, 600, 800));
    EXPECT_EQ(tiled.frame, QRect(8, 8, 604, 804));
    EXPECT_EQ(tiled.pid, 43);
    EXPECT_TRUE((*windows)[1].focused);

    EXPECT_FALSE(hyprlandWindowsFrom("{}", hyprMonitors, 2));
    EXPECT_FALSE(hyprlandWindowsFrom(hyprClients(), "not json", 2));
    const auto odd = hyprlandWindowsFrom(R"([{"mapped": true, "at": "x", "size": [5, 5],
        "workspace": {"id": 1}}, 7, null])",
                                         hyprMonitors, -40);
    ASSERT_TRUE(odd);
    EXPECT_TRUE(odd->empty()) << "a client without a place is left out";
}

TEST(HyprlandWindows, TheRequestSocketIsAskedOncePerListWithinTheTimeBox) {
    QStringList asked;
    StandIn standIn(
        [&](int fd, const QByteArray& request) {
            asked << QString::fromUtf8(request);
            if (request == "j/clients") writeAll(fd, hyprClients());
            if (request == "j/monitors") writeAll(fd, hyprMonitors);
            if (request.startsWith("j/getoption")) writeAll(fd, R"({"int": 3, "set": true})");
        },
        3);
    const auto windows = HyprlandWindows(standIn.path(), 500).windows();
    ASSERT_TRUE(windows);
    EXPECT_EQ(asked, (QStringList{"j/clients", "j/monitors", "j/getoption general:border_size"}));
    ASSERT_EQ(windows->size(), 6u);
    EXPECT_EQ(windows->back().frame, QRect(7, 7, 606, 806));

    StandIn silent([](int, const QByteArray&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(HyprlandWindows(silent.path(), 100).windows());
    EXPECT_FALSE(HyprlandWindows(silent.path(), 100).pointer());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

// Where the pointer is, from j/cursorpos; nothing for a reply that does not say.
TEST(HyprlandWindows, ThePointerIsWhereTheCompositorSays) {
    StandIn standIn([](int fd, const QByteArray& request) {
        if (request == "j/cursorpos") writeAll(fd, R"({"x": 1834.7, "y": -12})");
    });
    EXPECT_EQ(HyprlandWindows(standIn.path(), 500).pointer(), QPoint(1834, -12));
    EXPECT_FALSE(hyprlandPointerFrom("unknown request"));
    EXPECT_FALSE(hyprlandPointerFrom(R"({"x": "12", "y": 4})"));
    EXPECT_FALSE(hyprlandPointerFrom(R"([1, 2])"));
}
