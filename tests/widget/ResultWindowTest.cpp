#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "annotation/ToolbarButtons.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "longcapture/LongScreenshotResult.h"
#include "platform/fake/FakePlatform.h"

using namespace tessal;

class ResultWindowTest : public ::testing::Test {
  protected:
    std::unique_ptr<LongScreenshotResult> open(int w, int h, bool withPin) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::white);
        auto result = std::make_unique<LongScreenshotResult>(
            image, "长截图",
            withPin ? std::function<bool(const QByteArray&)>(
                          [this](const QByteArray&) { return pinAccepted; })
                    : nullptr,
            ResultEnvironment{queue, clock, pasteboard, defaults,
                              [] { return std::optional<QString>(); }, nullptr, nullptr, nullptr});
        result->onClose = [this] { ++closes; };
        return result;
    }
    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePasteboard pasteboard;
    bool pinAccepted = true;
    int closes = 0;
};

TEST_F(ResultWindowTest, TitleScaleAndDisabledActions) {
    auto wide = open(3000, 1200, false);
    EXPECT_EQ(wide->windowTitle(), "Tessal · 长截图 3000 × 1200 px");
    EXPECT_NEAR(LongScreenshotResult::displayScale(3000), 880.0 / 3000, 1e-12);
    EXPECT_EQ(wide->canvas().width(), 880);
    EXPECT_FALSE(wide->toolbar().action(ToolbarActionId::pin)->isEnabled());
    EXPECT_FALSE(wide->toolbar().action(ToolbarActionId::longCapture)->isEnabled());
    EXPECT_FALSE(wide->toolbar().tool(0)->isEnabled());
    auto narrow = open(600, 400, true);
    EXPECT_EQ(narrow->canvas().width(), 600);
    EXPECT_TRUE(narrow->toolbar().action(ToolbarActionId::pin)->isEnabled());
    EXPECT_EQ(narrow->toolbar().activeTool(), 1);
}

TEST_F(ResultWindowTest, EscapeCancelsThenClosesAndReturnCopies) {
    defaults.set("copyCloses", false);
    auto result = open(600, 400, true);
    KeyPress escape;
    escape.keyCode = KeyCode::escape;
    KeyPress enter;
    enter.keyCode = KeyCode::returnKey;
    result->toolbar().selectTool(2);
    result->toolbar().onTool(2);
    CanvasModel& canvas = result->canvas().model();
    canvas.mouseDown({10, 10}, 1);
    canvas.mouseDragged({100, 100}, false);
    EXPECT_TRUE(result->handleKey(escape, false));
    EXPECT_EQ(closes, 0);
    canvas.mouseDown({10, 10}, 1);
    canvas.mouseUp({100, 100}, false);
    EXPECT_TRUE(result->handleKey(enter, false));
    EXPECT_EQ(QImage::fromData(pasteboard.png).size(), QSize(600, 400));
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(result->toolbar().action(ToolbarActionId::copy)->iconName(), "action-copied");
    EXPECT_TRUE(result->handleKey(escape, false));
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(result->edits().count(), 0);
}
