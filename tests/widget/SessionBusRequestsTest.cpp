#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/SessionBusRequests.h"
#include "capture/StillCapture.h"
#include "platform/fake/FakePlatform.h"

using namespace tessal;
using Kind = BusRefusal::Kind;

namespace {

// Two displays side by side, the right one at scale 2; each image is one colour with a marked
// top-left pixel.
FakeScreenCapture twoDisplays() {
    FakeScreenCapture capture;
    capture.addDisplay("left", Rect(0, 0, 400, 300));
    capture.addDisplay("right", Rect(400, 0, 200, 100), 2.0);
    QImage left(400, 300, QImage::Format_RGB32), right(400, 200, QImage::Format_RGB32);
    left.fill(Qt::red);
    right.fill(Qt::blue);
    right.setPixel(0, 0, qRgb(0, 255, 0));
    capture.images = {left, right};
    return capture;
}

}  // namespace

// A still for a bus caller: written whole where asked, or refused with the reason and nothing
// left behind.
TEST(SessionBusRequests, StillsAreWrittenWholeOrRefused) {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    struct Case {
        QString path;
        int display;
        std::optional<Rect> region;
        bool failCapture;
        std::optional<Kind> refusal;
        QString message;  // a part of it
        QSize size;       // of the written image
    };
    const QString out = dir.filePath("out.png");
    const Case cases[] = {
        {out, 0, std::nullopt, false, std::nullopt, {}, {400, 300}},
        {out, 1, Rect(0, 50, 100, 50), false, std::nullopt, {}, {200, 100}},
        {out, 1, Rect(150, 50, 100, 100), false, std::nullopt, {}, {100, 100}},
        {"relative.png", 0, std::nullopt, false, Kind::invalidInput, "绝对路径", {}},
        {"", 0, std::nullopt, false, Kind::invalidInput, "绝对路径", {}},
        {dir.filePath("missing/out.png"),
         0,
         std::nullopt,
         false,
         Kind::invalidInput,
         "文件夹不存在",
         {}},
        {dir.path(), 0, std::nullopt, false, Kind::invalidInput, "同名的文件夹已存在", {}},
        {out, 2, std::nullopt, false, Kind::invalidInput, "no display 2", {}},
        {out, 0, Rect(500, 500, 10, 10), false, Kind::invalidInput, "lies off", {}},
        {out, 0, std::nullopt, true, Kind::failed, "读不到", {}},
    };
    for (const Case& c : cases) {
        QFile::remove(out);
        FakeScreenCapture capture = twoDisplays();
        if (c.failCapture) capture.screenshotError = UserError{"Capture", 1, "读不到屏幕"};
        const BusAnswer answer = writeStillFor(capture, 1, c.display, c.region, c.path);
        const std::string label = c.path.toStdString() + " " + std::to_string(c.display);
        ASSERT_EQ(answer.has_value(), c.refusal.has_value()) << label;
        if (answer) {
            EXPECT_EQ(answer->kind, *c.refusal) << label;
            EXPECT_TRUE(answer->message.contains(c.message)) << answer->message.toStdString();
            EXPECT_FALSE(QFile::exists(out)) << label;
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0) << label;
            continue;
        }
        const QImage written(out);
        EXPECT_EQ(written.size(), c.size) << label;
        // The right display's marked top-left pixel is in a region that reaches its top edge.
        if (c.display == 1 && c.region->minX() == 0) {
            EXPECT_EQ(written.pixel(0, 0), qRgb(0, 255, 0)) << label;
        }
    }
}

// A region in global points goes to the display it overlaps most, in that display's points.
TEST(SessionBusRequests, RegionFindsItsDisplay) {
    const std::vector<Rect> frames{Rect(0, 0, 400, 300), Rect(400, 0, 200, 100)};
    struct Case {
        Rect region;
        std::optional<std::pair<int, Rect>> expected;
    };
    const Case cases[] = {
        {Rect(10, 10, 50, 50), std::pair{0, Rect(10, 10, 50, 50)}},
        {Rect(450, 20, 30, 30), std::pair{1, Rect(50, 20, 30, 30)}},
        // Mostly on the right one: its local points, reaching past its left edge.
        {Rect(390, 0, 100, 50), std::pair{1, Rect(-10, 0, 100, 50)}},
        {Rect(300, 0, 150, 100), std::pair{0, Rect(300, 0, 150, 100)}},
        {Rect(700, 0, 10, 10), std::nullopt},
        {Rect(400, 100, 10, 10), std::nullopt},  // touches the right one's top edge only
    };
    for (const Case& c : cases)
        EXPECT_EQ(displayOfRegion(frames, c.region), c.expected)
            << c.region.minX() << "," << c.region.minY();
}
