#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <future>

#include "annotation/ToolbarButtons.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "longcapture/LongScreenshotResult.h"
#include "platform/fake/FakePlatform.h"

using namespace tessal;

class ResultWindowTest : public ::testing::Test {
  protected:
    std::unique_ptr<LongScreenshotResult> open(
        int w, int h, bool withPin, std::function<int(const AlertSpec&)> ask = nullptr,
        std::function<std::optional<QString>()> savePath = [] {
            return std::optional<QString>();
        }) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::white);
        auto result = std::make_unique<LongScreenshotResult>(
            image, "长截图",
            withPin ? std::function<bool(const EncodedImage&)>(
                          [this](const EncodedImage&) { return pinAccepted; })
                    : nullptr,
            ResultEnvironment{queue, clock, pasteboard, defaults, std::move(savePath), nullptr,
                              nullptr, nullptr, std::move(ask)});
        result->onClose = [this] { ++closes; };
        return result;
    }
    // Lets a save or a pin finish: its PNG is made on the worker, then reported back.
    void finishExports() {
        SerialQueue::named("local.ostrel.png").flush();
        queue.advance(0);
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

namespace {

// Draws one rectangle mark on the result's canvas.
void drawMark(LongScreenshotResult& result) {
    result.toolbar().selectTool(2);
    result.toolbar().onTool(2);
    CanvasModel& canvas = result.canvas().model();
    canvas.mouseDown({10, 10}, 1);
    canvas.mouseUp({100, 100}, false);
}

KeyPress key(int code) {
    KeyPress press;
    press.keyCode = code;
    return press;
}

}  // namespace

TEST_F(ResultWindowTest, EscapeOrTheWindowCloseAsksBeforeMarksAreLost) {
    enum class Close { escape, toolbar, windowManager };
    struct Case {
        const char* name;
        bool marks;
        Close how;
        std::vector<int> answers;  // indexes into 保存 / 继续编辑 / 不保存
        bool saveChosen;
        int asked, closed, saved;
    };
    const Case cases[] = {
        {"no marks: Escape closes at once", false, Close::escape, {}, true, 0, 1, 0},
        {"no marks: the window manager closes at once",
         false,
         Close::windowManager,
         {},
         true,
         0,
         1,
         0},
        {"marks, save: written, then closed", true, Close::escape, {0}, true, 1, 1, 1},
        {"marks, save cancelled in the dialog: stays", true, Close::escape, {0}, false, 1, 0, 0},
        {"marks, keep editing: stays with its marks", true, Close::escape, {1}, true, 1, 0, 0},
        {"marks, discard: closed", true, Close::escape, {2}, true, 1, 1, 0},
        {"marks, toolbar close, keep editing", true, Close::toolbar, {1}, true, 1, 0, 0},
        {"marks, window manager, keep editing", true, Close::windowManager, {1}, true, 1, 0, 0},
        {"marks, window manager, discard", true, Close::windowManager, {2}, true, 1, 1, 0},
        {"marks, window manager, save", true, Close::windowManager, {0}, true, 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        closes = 0;
        std::vector<AlertSpec> asked;
        std::deque<int> answers(c.answers.begin(), c.answers.end());
        const QString path = dir.filePath(QStringLiteral("saved-%1.png").arg(&c - cases));
        auto result = open(
            600, 400, true,
            [&](const AlertSpec& alert) {
                asked.push_back(alert);
                const int answer = answers.empty() ? 0 : answers.front();
                if (!answers.empty()) answers.pop_front();
                return answer;
            },
            [&] { return c.saveChosen ? std::optional<QString>(path) : std::nullopt; });
        result->show();
        if (c.marks) drawMark(*result);
        switch (c.how) {
            case Close::escape:
                EXPECT_TRUE(result->handleKey(key(KeyCode::escape), false));
                break;
            case Close::toolbar:
                result->toolbar().onAction(ToolbarActionId::close);
                break;
            case Close::windowManager:
                result->close();
                break;
        }
        finishExports();
        ASSERT_EQ(int(asked.size()), c.asked);
        if (c.asked) {
            EXPECT_EQ(asked[0].message, "是否保存对截图所做的标注？");
            EXPECT_EQ(asked[0].buttons, (QStringList{"保存", "继续编辑", "不保存"}));
            EXPECT_EQ(asked[0].severity, AlertSpec::Severity::warning);
        }
        EXPECT_EQ(closes, c.closed);
        EXPECT_EQ(result->closed(), c.closed == 1);
        EXPECT_EQ(result->isVisible(), c.closed == 0);
        EXPECT_EQ(QFile::exists(path), c.saved == 1);
        if (c.marks && !c.closed) {
            EXPECT_EQ(result->canvas().model().marks().size(), 1u);
        }
    }
}

TEST_F(ResultWindowTest, SaveAndPinMakeTheirPngOffTheMainThreadAndKeepMarksDrawnMeanwhile) {
    const QString path = dir.filePath("long.png");
    for (const bool pin : {false, true}) {
        SCOPED_TRACE(pin ? "pin" : "save");
        closes = 0;
        QFile::remove(path);
        auto result = open(
            600, 400, true, [](const AlertSpec&) { return 1; },
            [&] { return std::optional<QString>(path); });
        result->show();
        drawMark(*result);
        // The PNG worker is busy: the window waits for it, the main thread does not.
        std::promise<void> gate;
        SerialQueue::named("local.ostrel.png").async([until = gate.get_future().share()] {
            until.wait();
        });
        result->toolbar().onAction(pin ? ToolbarActionId::pin : ToolbarActionId::save);
        queue.advance(0);
        EXPECT_EQ(closes, 0);
        EXPECT_FALSE(QFile::exists(path));
        if (!pin) {  // a second mark, not in the file being written
            result->canvas().model().mouseDown({200, 200}, 1);
            result->canvas().model().mouseUp({300, 300}, false);
        }
        gate.set_value();
        finishExports();
        if (pin) {
            EXPECT_EQ(closes, 1);
            continue;
        }
        EXPECT_EQ(QImage(path).size(), QSize(600, 400));
        EXPECT_EQ(closes, 0);
        // The second mark is unsaved: closing still asks.
        EXPECT_TRUE(result->handleKey(key(KeyCode::escape), false));
        EXPECT_EQ(closes, 0);
        EXPECT_EQ(result->canvas().model().marks().size(), 2u);
    }
}

TEST_F(ResultWindowTest, MarksAlreadyCopiedCloseWithoutAQuestion) {
    defaults.set("copyCloses", false);
    int asked = 0;
    auto result = open(600, 400, true, [&](const AlertSpec&) { return ++asked, 1; });
    drawMark(*result);
    EXPECT_TRUE(result->handleKey(key(KeyCode::returnKey), false));
    EXPECT_TRUE(result->handleKey(key(KeyCode::escape), false));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(closes, 1);
}
