#include <gtest/gtest.h>

#include <QVariantMap>

#include "capture/ScreenCapture.h"
#include "capture/ScreenCaptureFailure.h"
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
