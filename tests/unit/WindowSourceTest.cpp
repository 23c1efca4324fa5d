#include <gtest/gtest.h>

#include <QVariantMap>

#include "capture/StillCapture.h"
#include "capture/WindowSource.h"

using namespace tessal;

namespace {

// A window-list entry: number, owner, layer and frame (window-list points, y down).
QVariant entry(unsigned number, int pid, Rect frame, int layer = 0) {
    return QVariantMap{{"number", number},
                       {"pid", pid},
                       {"layer", layer},
                       {"bounds", QVariantMap{{"x", frame.minX()},
                                              {"y", frame.minY()},
                                              {"width", frame.width()},
                                              {"height", frame.height()}}}};
}

}  // namespace

// Which window each choice names, on which display, in that display's local points (y up).
// The primary display is 1600 × 900; a second one of 800 × 600 sits to its right.
TEST(WindowSource, PlacesTheChosenFrameOnTheDisplayItCoversMost) {
    const std::vector<Rect> displays{Rect(0, 0, 1600, 900), Rect(1600, 0, 800, 600)};
    const QVariantList list{
        entry(5, 40, Rect(150, 150, 200, 100)),      // front, over the next one
        entry(7, 41, Rect(100, 120, 500, 300)),      //
        entry(8, 99, Rect(700, 500, 300, 200)),      // ours: never under the pointer
        entry(9, 42, Rect(700, 500, 400, 300)),      // below ours
        entry(11, 43, Rect(1500, 400, 400, 200)),    // mostly on the second display
        entry(12, 44, Rect(900, 50, 300, 200), 20),  // a dock: listed, not offered to a click
        entry(13, 45, Rect(5000, 5000, 100, 100)),   // on no display
    };
    using Kind = WindowChoice::Kind;
    struct Case {
        const char* what;
        WindowChoice choice;
        int display;
        Rect local;
    };
    const Case cases[] = {
        {"by number", {Kind::number, 7, {}}, 0, Rect(100, 480, 500, 300)},
        {"by number, a dock", {Kind::number, 12, {}}, 0, Rect(900, 650, 300, 200)},
        {"mostly on display 1", {Kind::number, 11, {}}, 1, Rect(0, 300, 300, 200)},
        {"active", {Kind::active, 5, {}}, 0, Rect(150, 650, 200, 100)},
        {"pointer over two: the front one",
         {Kind::underPointer, 0, Point{200, 200}},
         0,
         Rect(150, 650, 200, 100)},
        {"pointer over the back one only",
         {Kind::underPointer, 0, Point{120, 400}},
         0,
         Rect(100, 480, 500, 300)},
        {"pointer over ours: the one below",
         {Kind::underPointer, 0, Point{800, 600}},
         0,
         Rect(700, 100, 400, 300)},
    };
    for (const Case& c : cases) {
        const Result<WindowPlace> place = placeWindow(list, displays, c.choice, 99);
        ASSERT_TRUE(place) << c.what << ": " << place.error().message.toStdString();
        EXPECT_EQ(place.value().display, c.display) << c.what;
        EXPECT_EQ(place.value().local, c.local) << c.what;
    }
}

// What cannot be placed says why, with the exit status in its code.
TEST(WindowSource, RefusalsSayWhy) {
    const std::vector<Rect> displays{Rect(0, 0, 1600, 900)};
    const QVariantList list{entry(7, 41, Rect(100, 120, 500, 300)),
                            entry(12, 44, Rect(900, 50, 300, 200), 20),
                            entry(13, 45, Rect(5000, 5000, 100, 100))};
    using Kind = WindowChoice::Kind;
    struct Case {
        WindowChoice choice;
        int code;
        QString message;
    };
    const Case cases[] = {
        {{Kind::number, 6, {}},
         stillBadInput,
         "没有编号为 6 的窗口（tessal capture --list-windows 列出窗口）"},
        {{Kind::active, 0, {}}, stillFailed, "没有可截取的活动窗口"},
        {{Kind::active, 6, {}}, stillFailed, "没有可截取的活动窗口"},
        {{Kind::underPointer, 0, std::nullopt}, stillFailed, "这个桌面不告知指针的位置"},
        {{Kind::underPointer, 0, Point{1000, 100}}, stillFailed, "指针下没有可截取的窗口"},
        // Half-open: the pointer on the far edge is outside.
        {{Kind::underPointer, 0, Point{600, 200}}, stillFailed, "指针下没有可截取的窗口"},
        {{Kind::number, 13, {}}, stillFailed, "这个窗口不在任何显示器上"},
    };
    for (const Case& c : cases) {
        const Result<WindowPlace> place = placeWindow(list, displays, c.choice, 99);
        ASSERT_FALSE(place) << c.message.toStdString();
        EXPECT_EQ(place.error().code, c.code) << c.message.toStdString();
        EXPECT_EQ(place.error().message, c.message);
    }
}
