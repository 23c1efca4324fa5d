#include <gtest/gtest.h>

#include <QVariantMap>

#include "capture/ScreenCapture.h"
#include "capture/ScreenCaptureFailure.h"
#include "capture/StillCapture.h"
#include "platform/fake/FakePlatform.h"

using namespace tessal;

namespace {

QVariantMap window(int pid, double x, double y, double w, double h) {
    return {{"pid", pid},
            {"layer", 0},
            {"bounds", QVariantMap{{"x", x}, {"y", y}, {"width", w}, {"height", h}}}};
}

}  // namespace

TEST(CaptureScreens, OneSnapshotPerDisplayAtBackingResolution) {
    FakeScreenCapture service;
    service.addDisplay("left", Rect(0, 0, 1440, 1117), 2.0);
    service.addDisplay("right", Rect(1440, 0, 1920, 1080), 1.0);
    service.windows = {window(50, 1500, 100, 400, 300), window(51, 1340, 100, 200, 300),
                       window(7, 10, 10, 100, 100)};

    const auto result = captureScreens(service, 7);
    ASSERT_TRUE(result.ok());
    const auto& snapshots = result.value();
    ASSERT_EQ(snapshots.size(), 2u);
    EXPECT_EQ(snapshots[0].image.size(), QSize(2880, 2234));
    EXPECT_EQ(snapshots[1].image.size(), QSize(1920, 1080));
    // Front to back, clipped, screen-local; our own window is never offered.
    ASSERT_EQ(snapshots[0].windows.size(), 1u);
    EXPECT_EQ(snapshots[0].windows[0], Rect(1340, 717, 100, 300));
    ASSERT_EQ(snapshots[1].windows.size(), 2u);
    EXPECT_EQ(snapshots[1].windows[0], Rect(60, 717, 400, 300));
    EXPECT_EQ(snapshots[1].windows[1], Rect(0, 717, 100, 300));
}

// Where the platform tells where the pointer is (Hyprland), the frontmost window under it is
// named on the display showing it, counted among that display's windows.
TEST(CaptureScreens, TheWindowUnderAToldPointerIsNamed) {
    FakeScreenCapture service;
    service.addDisplay("left", Rect(0, 0, 1000, 800));
    service.addDisplay("right", Rect(1000, 0, 1000, 800));
    service.windows = {window(50, 1100, 100, 300, 300), window(51, 200, 100, 300, 300),
                       window(52, 150, 50, 800, 600)};
    struct Case {
        std::optional<Point> at;
        std::optional<std::size_t> left, right;
    } cases[] = {
        {std::nullopt, std::nullopt, std::nullopt},
        {Point(250, 200), 0, std::nullopt},  // the front one of two
        {Point(160, 60), 1, std::nullopt},   // only the one behind
        {Point(1200, 300), std::nullopt, 0},
        {Point(10, 700), std::nullopt, std::nullopt},  // no window there
    };
    for (const Case& c : cases) {
        service.pointerAt = c.at;
        const auto result = captureScreens(service, 7);
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.value()[0].pointedWindow, c.left);
        EXPECT_EQ(result.value()[1].pointedWindow, c.right);
    }
}

TEST(CaptureScreens, SkipsDisplaysThatCannotBeCapturedAndFailsWhenNoneRemain) {
    FakeScreenCapture service;
    service.addDisplay("a", Rect(0, 0, 800, 600));
    service.addDisplay("b", Rect(800, 0, 800, 600));
    service.displayList[0].id.clear();  // a display without a number
    service.shareableIds = {"a"};       // and b is not shareable

    const auto result = captureScreens(service, 1);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), (UserError{"Ostrel", 1, "没有可截取的显示器"}));
    EXPECT_EQ(service.screenshotCount, 0);

    service.shareableIds = {"a", "b"};
    const auto partial = captureScreens(service, 1);
    ASSERT_TRUE(partial.ok());
    ASSERT_EQ(partial.value().size(), 1u);
    EXPECT_EQ(partial.value()[0].frame, Rect(800, 0, 800, 600));
}

TEST(CaptureScreens, AnyFailureEndsTheWholeCapture) {
    FakeScreenCapture service;
    service.addDisplay("a", Rect(0, 0, 800, 600));
    service.screenshotError = UserError{"Ostrel", 3, "无法读取屏幕内容"};
    EXPECT_EQ(captureScreens(service, 1).error().code, 3);

    service.screenshotError.reset();
    service.contentError = UserError{"Ostrel", 2, "x"};
    EXPECT_EQ(captureScreens(service, 1).error().code, 2);
    EXPECT_EQ(service.screenshotCount, 1);

    FakeScreenCapture none;
    EXPECT_EQ(captureScreens(none, 1).error().message, "没有可截取的显示器");
}

TEST(ScreenCaptureFailure, AlertTexts) {
    const UserError error{"Ostrel", 1, "没有可截取的显示器"};
    const AlertSpec plain = ScreenCaptureFailure::alert(error, false);
    EXPECT_EQ(plain.message, "无法截取屏幕");
    EXPECT_EQ(plain.informative,
              "没有可截取的显示器\n请重新截图；若刚连接或断开显示器，请等待屏幕布局稳定。");
    EXPECT_EQ(plain.buttons, QStringList{"知道了"});

    const AlertSpec permission = ScreenCaptureFailure::alert(error, true);
    EXPECT_EQ(permission.buttons, (QStringList{"打开系统设置", "取消"}));
    EXPECT_TRUE(permission.informative.contains("允许Tessal"));
}

// The pointer is drawn in where it lies, on each display it touches, in device pixels, only
// when asked; its translucent edge blends with what is beneath.
TEST(CaptureScreens, ThePointerIsDrawnWhereItIsOnlyWhenAsked) {
    FakeScreenCapture service;
    service.addDisplay("left", Rect(0, 0, 100, 80), 2.0);
    service.addDisplay("right", Rect(100, 0, 50, 40), 1.0);
    service.displayList[0].nativeRect = QRect(0, 0, 200, 160);
    service.displayList[1].nativeRect = QRect(200, 0, 50, 40);
    service.images = {QImage(200, 160, QImage::Format_RGB32), QImage(50, 40, QImage::Format_RGB32)};
    service.images[0].fill(Qt::white);
    service.images[1].fill(Qt::white);
    QImage arrow(6, 4, QImage::Format_ARGB32_Premultiplied);
    arrow.fill(Qt::black);
    arrow.setPixel(5, 3, qRgba(0, 0, 0, 0));                  // transparent corner
    arrow.setPixel(4, 3, qPremultiply(qRgba(0, 0, 0, 128)));  // half-covered
    service.pointer = PointerImage{arrow, QPoint(197, 10)};   // across both displays

    const auto plain = captureScreens(service, 1);
    ASSERT_TRUE(plain.ok());
    EXPECT_EQ(QColor(plain.value()[0].image.pixel(198, 11)), QColor(Qt::white));

    const auto with = captureScreens(service, 1, {}, true);
    ASSERT_TRUE(with.ok());
    const QImage& left = with.value()[0].image;
    const QImage& right = with.value()[1].image;
    EXPECT_EQ(QColor(left.pixel(197, 10)), QColor(Qt::black));
    EXPECT_EQ(QColor(left.pixel(199, 13)), QColor(Qt::black));
    EXPECT_EQ(QColor(left.pixel(196, 10)), QColor(Qt::white));
    EXPECT_EQ(QColor(left.pixel(197, 14)), QColor(Qt::white));
    EXPECT_EQ(QColor(right.pixel(0, 10)), QColor(Qt::black));
    EXPECT_EQ(QColor(right.pixel(2, 13)), QColor(Qt::white));  // the transparent corner
    EXPECT_NEAR(qRed(right.pixel(1, 13)), 127, 2);             // half over white
    EXPECT_EQ(QColor(right.pixel(3, 10)), QColor(Qt::white));

    // Off every display: nothing changes.
    service.pointer = PointerImage{arrow, QPoint(400, 400)};
    const auto away = captureScreens(service, 1, {}, true);
    ASSERT_TRUE(away.ok());
    EXPECT_EQ(away.value()[0].image, plain.value()[0].image);
    EXPECT_EQ(away.value()[1].image, plain.value()[1].image);
}

// A still of a display or of a region of it (display-local points, y up): cut to the display
// and said so, refused when wholly off it or when there is no such display.
TEST(StillCapture, RegionsAreCutToTheDisplayOrRefused) {
    FakeScreenCapture service;
    service.addDisplay("main", Rect(0, 0, 100, 80), 2.0);
    service.addDisplay("side", Rect(100, 0, 50, 40), 1.0);
    QImage picture(200, 160, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixelColor(20, 149, Qt::red);  // the point (10, 5) from the bottom-left
    service.images = {picture};
    struct Case {
        int display;
        std::optional<Rect> region;
        int code;  // 0: taken
        Rect taken;
        bool clipped;
        QSize size;
    };
    const Case cases[] = {
        {0, std::nullopt, 0, Rect(0, 0, 100, 80), false, {200, 160}},
        {1, std::nullopt, 0, Rect(0, 0, 50, 40), false, {50, 40}},
        {0, Rect(10, 5, 20, 10), 0, Rect(10, 5, 20, 10), false, {40, 20}},
        {0, Rect(90, 70, 20, 20), 0, Rect(90, 70, 10, 10), true, {20, 20}},
        {0, Rect(-5, -5, 10, 10), 0, Rect(0, 0, 5, 5), true, {10, 10}},
        {0, Rect(100, 0, 10, 10), stillBadInput, {}, false, {}},
        {2, std::nullopt, stillBadInput, {}, false, {}},
        {-1, std::nullopt, stillBadInput, {}, false, {}},
    };
    for (const Case& c : cases) {
        const Result<StillCapture> still = takeStill(service, 1, c.display, c.region);
        ASSERT_EQ(still.ok(), c.code == 0) << c.display;
        if (!still) {
            EXPECT_EQ(still.error().code, c.code);
            continue;
        }
        EXPECT_EQ(still.value().taken, c.taken);
        EXPECT_EQ(still.value().clipped, c.clipped);
        EXPECT_EQ(still.value().image.size(), c.size);
    }
    const Result<StillCapture> corner = takeStill(service, 1, 0, Rect(10, 5, 20, 10));
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner.value().image.pixelColor(0, 19), QColor(Qt::red));

    // The region's display in global points: the one it covers most, nothing when none.
    const std::vector<Rect> frames{Rect(0, 0, 100, 80), Rect(100, 0, 50, 40)};
    EXPECT_EQ(displayOfRegion(frames, Rect(90, 10, 30, 10)), (std::pair{1, Rect(-10, 10, 30, 10)}));
    EXPECT_EQ(displayOfRegion(frames, Rect(80, 10, 30, 10)), (std::pair{0, Rect(80, 10, 30, 10)}));
    EXPECT_FALSE(displayOfRegion(frames, Rect(200, 100, 10, 10)));
    EXPECT_FALSE(displayOfRegion(frames, Rect(100, 40, 10, 10)));  // touching only
}
