#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "base/Clock.h"
#include "base/MainQueue.h"
#include "platform/fake/FakePlatform.h"
#include "tools/TextRecognitionWindow.h"

using namespace tessal;

namespace {

QImage blank() {
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

}  // namespace

class TextRecognitionWindowTest : public ::testing::Test {
  protected:
    std::unique_ptr<TextRecognitionWindow> open(bool copyWhenReady, bool runAtOnce = true) {
        auto window = std::make_unique<TextRecognitionWindow>(
            blank(), copyWhenReady,
            TextRecognitionEnvironment{queue, pasteboard, &recognizer,
                                       [this, runAtOnce](std::function<void()> work) {
                                           if (runAtOnce)
                                               work();
                                           else
                                               pending.push_back(std::move(work));
                                       }});
        window->onCopied = [this] { ++copied; };
        window->onClose = [this] { ++closes; };
        return window;
    }
    void answer(std::vector<QString> lines) {
        recognizer.answer = [lines](const QImage&) {
            std::vector<RecognizedLine> found;
            double y = 0.9;
            for (const QString& text : lines) found.push_back({text, QRectF(0, y -= 0.2, 1, 0.1)});
            return found;
        };
    }

    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePasteboard pasteboard;
    FakeTextRecognizer recognizer;
    std::vector<std::function<void()>> pending;
    int copied = 0, closes = 0;
};

TEST_F(TextRecognitionWindowTest, ResultsNothingFoundAndFailures) {
    answer({"第一行", "second"});
    auto window = open(false);
    EXPECT_EQ(window->windowTitle(), "Tessal · 识别文字");
    EXPECT_EQ(window->statusLabel()->text(), "正在识别…");
    EXPECT_FALSE(window->copyButton()->isEnabled());
    queue.runPending();
    EXPECT_EQ(window->statusLabel()->text(), "识别完成，可编辑后复制");
    EXPECT_EQ(window->textView()->toPlainText(), "第一行\nsecond");
    EXPECT_TRUE(window->copyButton()->isEnabled());
    // What the user corrected is what gets copied, then the window closes.
    window->textView()->setPlainText("第一行\n第二行");
    window->copyButton()->click();
    EXPECT_EQ(pasteboard.text, "第一行\n第二行");
    EXPECT_EQ(copied, 1);
    EXPECT_EQ(closes, 1);

    answer({});
    auto empty = open(true);
    queue.runPending();
    EXPECT_EQ(empty->statusLabel()->text(), "未识别到文字");
    EXPECT_FALSE(empty->copyButton()->isEnabled());
    EXPECT_EQ(copied, 1);  // nothing to copy, even when asked to copy at once
    EXPECT_FALSE(empty->closed());

    recognizer.failure = UserError{"Ostrel", 21, "识别进程意外退出"};
    auto failed = open(false);
    queue.runPending();
    EXPECT_EQ(failed->statusLabel()->text(), "识别失败：识别进程意外退出");
    EXPECT_TRUE(failed->textView()->toPlainText().isEmpty());
    EXPECT_FALSE(failed->copyButton()->isEnabled());
}

TEST_F(TextRecognitionWindowTest, CopyWhenReadyAndReturnCopy) {
    answer({"ready"});
    auto window = open(true);
    queue.runPending();
    EXPECT_EQ(pasteboard.text, "ready");
    EXPECT_EQ(copied, 1);
    EXPECT_TRUE(window->closed());

    auto typed = open(false);
    queue.runPending();
    typed->textView()->setPlainText("typed");
    ASSERT_TRUE(typed->copyButton()->isEnabled()) << typed->statusLabel()->text().toStdString();
    QKeyEvent newline(QEvent::KeyPress, Qt::Key_Return, Qt::ShiftModifier, "\r");
    QApplication::sendEvent(typed->textView(), &newline);
    EXPECT_FALSE(typed->closed());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(typed->textView(), &enter);
    EXPECT_TRUE(typed->closed());
    EXPECT_EQ(pasteboard.text.remove(QChar(0x2029)).remove(QLatin1Char('\n')), "typed");

    // A refused clipboard keeps the window and calls nothing.
    pasteboard.refuse = true;
    auto refused = open(false);
    queue.runPending();
    const int before = copied;
    refused->copyText();
    EXPECT_FALSE(refused->closed());
    EXPECT_EQ(copied, before);
}

TEST_F(TextRecognitionWindowTest, BackClosesOnceAndALateResultIsDropped) {
    answer({"late"});
    auto window = open(false, false);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window->textView(), &escape);
    EXPECT_TRUE(window->closed());
    EXPECT_EQ(closes, 1);
    ASSERT_EQ(recognizer.cancelled.size(), 1u);
    window->returnToEditor();
    window->close();
    EXPECT_EQ(closes, 1);
    // The recognition finishes after all (it was cancelled before its band): nothing shown.
    for (auto& work : pending) work();
    queue.runPending();
    EXPECT_TRUE(window->textView()->toPlainText().isEmpty());
    EXPECT_EQ(window->statusLabel()->text(), "正在识别…");
}

TEST_F(TextRecognitionWindowTest, TheRegistryKeepsWindowsUntilTheyClose) {
    answer({"x"});
    TextRecognitionWindows windows(TextRecognitionEnvironment{
        queue, pasteboard, &recognizer, [](std::function<void()> work) { work(); }});
    EXPECT_FALSE(windows.present(QImage(), false, nullptr, nullptr));
    EXPECT_EQ(windows.count(), 0u);
    int closed = 0;
    ASSERT_TRUE(windows.present(blank(), false, nullptr, [&] { ++closed; }));
    EXPECT_EQ(windows.count(), 1u);
    windows.any()->closeWindow();
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(windows.count(), 1u);  // leaves on the next turn
    queue.runPending();
    EXPECT_EQ(windows.count(), 0u);
}

// Windows share the recogniser: closing one cancels its own request and no other window's; at
// quit every window's request is cancelled, so queued work ends without asking the recogniser.
TEST_F(TextRecognitionWindowTest, EachWindowCancelsOnlyItsOwnRecognition) {
    answer({"kept"});
    auto first = open(false, false);
    auto second = open(false, false);
    second->closeWindow();
    ASSERT_EQ(recognizer.cancelled.size(), 1u);
    for (auto& work : pending) work();
    pending.clear();
    queue.runPending();
    // Only the first window asked: the second's queued band saw its own flag set.
    ASSERT_EQ(recognizer.flags.size(), 1u);
    EXPECT_NE(recognizer.flags[0], recognizer.cancelled[0]);
    EXPECT_EQ(first->textView()->toPlainText(), "kept");

    TextRecognitionWindows windows(TextRecognitionEnvironment{
        queue, pasteboard, &recognizer,
        [this](std::function<void()> work) { pending.push_back(std::move(work)); }});
    ASSERT_TRUE(windows.present(blank(), false, nullptr, nullptr));
    ASSERT_TRUE(windows.present(blank(), false, nullptr, nullptr));
    recognizer.cancelled.clear();
    windows.cancelAll();
    EXPECT_EQ(recognizer.cancelled.size(), 2u);
    for (auto& work : pending) work();
    queue.runPending();
    EXPECT_EQ(recognizer.flags.size(), 1u);  // nothing more was asked
}
