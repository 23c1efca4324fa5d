#include <gtest/gtest.h>

#include <signal.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/ocr/OcrProtocol.h"
#include "platform/ocr/WorkerTextRecognizer.h"

using namespace tessal;
using namespace std::chrono_literals;

namespace {

// The client drives stand-in workers: shell scripts that play the worker's part well or badly.
// Every start of a script appends a line to "starts" in its folder.
class WorkerTextRecognizerTest : public ::testing::Test {
  protected:
    WorkerTextRecognizerTest() { image.fill(Qt::white); }

    QString worker(const QString& name, const QByteArray& body) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho start >> '" + dir.filePath("starts").toUtf8() + "'\n" + body);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    int starts() {
        QFile file(dir.filePath("starts"));
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count('\n')) : 0;
    }
    static bool gone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }
    static int openDescriptors() {
        return int(QDir("/proc/self/fd").entryList(QDir::Files).size());
    }
    template <typename Condition>
    static bool within(std::chrono::milliseconds limit, Condition condition) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    QTemporaryDir dir;
    QImage image{20, 10, QImage::Format_RGB32};  // 800 bytes on the pipe
    // Reads one request with its pixels.
    static constexpr const char* takeRequest = "read request\nhead -c 800 >/dev/null\n";
};

}  // namespace

// What the worker writes is read back as the box it found, normalised to the image with the
// origin at the bottom left; text stays one line.
TEST(OcrProtocol, BoxesAreNormalisedWithTheOriginAtTheBottomLeft) {
    const QByteArray line =
        OcrProtocol::lineReply(QRect(10, 20, 30, 40), QSize(100, 200), "a\tb\nc");
    const auto back = OcrProtocol::parseLine(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, "a b c");
    // x 10/100, bottom edge at row 60 of 200 → 1 − 0.3, width 30/100, height 40/200.
    EXPECT_DOUBLE_EQ(back->box.x(), 0.1);
    EXPECT_DOUBLE_EQ(back->box.y(), 0.7);
    EXPECT_DOUBLE_EQ(back->box.width(), 0.3);
    EXPECT_DOUBLE_EQ(back->box.height(), 0.2);
    for (const QByteArray& bad : {QByteArray("0.1 0.2 0.3\tx"), QByteArray("0.1 0.2 0.3 0.4 x"),
                                  QByteArray("a b c d\tx"), QByteArray("0.1 nan 0.3 0.4\tx")})
        EXPECT_FALSE(OcrProtocol::parseLine(bad)) << bad.constData();
}

// A code's reply line carries its format, and either its text or the size of binary content;
// a line with fields beyond those is not one of ours.
TEST(OcrProtocol, CodeLinesCarryTheirFormatAndBinarySize) {
    const QSize size(100, 200);
    const auto qr = OcrProtocol::parseLine(
        OcrProtocol::codeReply(QRect(10, 20, 30, 40), size, "QRCode", "https://a.example/?q=1\n2"));
    ASSERT_TRUE(qr);
    EXPECT_EQ(qr->code, "QRCode");
    EXPECT_EQ(qr->text, "https://a.example/?q=1 2");
    EXPECT_EQ(qr->binaryBytes, -1);
    EXPECT_DOUBLE_EQ(qr->box.y(), 0.7);
    const auto binary = OcrProtocol::parseLine(
        OcrProtocol::codeReply(QRect(0, 0, 10, 10), size, "DataMatrix", "ignored", 300));
    ASSERT_TRUE(binary);
    EXPECT_EQ(binary->code, "DataMatrix");
    EXPECT_EQ(binary->text, "");
    EXPECT_EQ(binary->binaryBytes, 300);
    // A name that could break the line is replaced; text lines have no format.
    const auto odd = OcrProtocol::parseLine(
        OcrProtocol::codeReply(QRect(0, 0, 10, 10), size, "QR Code\tx", "t"));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->code, "Unknown");
    EXPECT_EQ(OcrProtocol::parseLine(OcrProtocol::lineReply(QRect(0, 0, 1, 1), size, "t"))->code,
              "");
    for (const QByteArray& bad :
         {QByteArray("0.1 0.2 0.3 0.4 EAN-13 5 x\t"), QByteArray("0.1 0.2 0.3 0.4 QR Code 1 2\t"),
          QByteArray("0.1 0.2 0.3 0.4 QRCode -1\t"), QByteArray("0.1 0.2 0.3 0.4 QRCode 12\tdata"),
          QByteArray("0.1 0.2 0.3 0.4 QR/Code\tx"), QByteArray("0.1 0.2 0.3 0.4 QRCode x\t")})
        EXPECT_FALSE(OcrProtocol::parseLine(bad)) << bad.constData();
}

// Crashes, nonsense and replies without end become errors with a reason, never a hang or lines
// The worker takes an image request only for a sound, bounded image: anything else is refused
// before a byte of pixels is allocated.
TEST(OcrProtocol, ImageRequestsAreBoundedAndWellFormed) {
    const auto asked = OcrProtocol::parseImageRequest("recognize 1920 1080");
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->verb, "recognize");
    EXPECT_EQ(asked->width, 1920);
    EXPECT_EQ(asked->height, 1080);
    EXPECT_EQ(OcrProtocol::parseImageRequest("codes 1 1")->verb, "codes");
    EXPECT_TRUE(OcrProtocol::parseImageRequest("codes 16384 16384"));  // exactly the limit
    for (const QByteArray& bad :
         {QByteArray("recognize 16385 16384"), QByteArray("recognize 2147483647 2"),
          QByteArray("recognize 0 10"), QByteArray("recognize 10 -1"), QByteArray("recognize 10"),
          QByteArray("recognize 10 10 10"), QByteArray("read 10 10"), QByteArray("recognize x 10"),
          QByteArray("recognize 99999999999 1"), QByteArray("")})
        EXPECT_FALSE(OcrProtocol::parseImageRequest(bad)) << bad.constData();
}

// made up; the worker's own error passes through.
TEST_F(WorkerTextRecognizerTest, BadWorkersBecomeErrors) {
    struct Case {
        const char* name;
        QByteArray script;
        QString message;
    };
    const QByteArray take = takeRequest;
    const Case cases[] = {
        {"crash", "read request\nexit 3\n", "识别进程意外退出"},
        {"hello", take + "echo hello\nexec sleep 30\n", "识别进程的回答无法读取"},
        {"count", take + "echo 'lines many'\nexec sleep 30\n", "识别进程的回答无法读取"},
        {"too many", take + "echo 'lines 999999999'\nexec sleep 30\n", "识别进程的回答无法读取"},
        {"bad box", take + "printf 'lines 1\\n0.1 0.2 wide 0.3\\tx\\n'\nexec sleep 30\n",
         "识别进程的回答无法读取"},
        {"cut short", take + "printf 'lines 2\\n0.1 0.2 0.3 0.4\\tx\\n'\n", "识别进程意外退出"},
        {"endless line", take + "yes abcdefgh | tr -d '\\n' | head -c 200000\nexec sleep 30\n",
         "识别进程的回答无法读取"},
        {"own error", take + "echo 'error 内存不足'\nexec sleep 30\n", "内存不足"},
    };
    for (const Case& c : cases) {
        WorkerTextRecognizer recognizer(worker(c.name, c.script), 10s);
        const auto started = std::chrono::steady_clock::now();
        const auto result = recognizer.recognize(image, {}, nullptr);
        ASSERT_FALSE(result) << c.name;
        EXPECT_EQ(result.error().message, c.message) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 5s) << c.name;
    }
    WorkerTextRecognizer missing(dir.filePath("absent"));
    EXPECT_EQ(missing.recognize(image, {}, nullptr).error().message, "未安装文字识别组件");
}

// A worker that never answers: the deadline ends the request; a cancel ends it at once.
TEST_F(WorkerTextRecognizerTest, AHangEndsAtTheDeadlineOrOnCancel) {
    WorkerTextRecognizer late(worker("late", "exec sleep 60\n"), 300ms);
    const auto started = std::chrono::steady_clock::now();
    const auto timedOut = late.recognize(image, {}, nullptr);
    ASSERT_FALSE(timedOut);
    EXPECT_EQ(timedOut.error().message, "识别进程没有回应");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    EXPECT_EQ(late.workerPid(), 0);

    // The script's own child keeps the pipe open after the script is killed: the cancel must
    // not wait for the end of the pipe.
    WorkerTextRecognizer hanging(worker("hang", "sleep 60\n"));
    std::atomic<bool> cancelled = false;
    std::thread cancel([&] {
        std::this_thread::sleep_for(200ms);
        cancelled = true;
        hanging.cancel(&cancelled);
    });
    const auto stopped = hanging.recognize(image, {}, &cancelled);
    cancel.join();
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().code, 22);
    EXPECT_EQ(hanging.workerPid(), 0);
    // Already cancelled: no worker is even started.
    const int before = starts();
    EXPECT_EQ(hanging.recognize(image, {}, &cancelled).error().code, 22);
    EXPECT_EQ(starts(), before);
}

// One worker serves every window: the cancel of one window's request leaves another's running.
TEST_F(WorkerTextRecognizerTest, ACancelEndsOnlyItsOwnRequest) {
    WorkerTextRecognizer recognizer(
        worker("slow",
               "while read request; do head -c 800 >/dev/null; sleep 0.6; "
               "printf 'lines 1\\n0 0 1 1\\tdone\\n'; done\n"));
    std::atomic<bool> first = false, second = false;
    Result<std::vector<RecognizedLine>> result = std::vector<RecognizedLine>{};
    std::thread running([&] { result = recognizer.recognize(image, {}, &first); });
    ASSERT_TRUE(within(2s, [&] { return recognizer.workerPid() != 0; }));
    std::this_thread::sleep_for(100ms);
    second = true;  // the other window closes
    recognizer.cancel(&second);
    running.join();
    ASSERT_TRUE(result) << result.error().message.toStdString();
    ASSERT_EQ(result.value().size(), 1u);
    EXPECT_EQ(result.value()[0].text, "done");

    // And the first window's own cancel does end it.
    std::thread cancelling([&] {
        std::this_thread::sleep_for(200ms);
        first = true;
        recognizer.cancel(&first);
    });
    const auto started = std::chrono::steady_clock::now();
    const auto ended = recognizer.recognize(image, {}, &first);
    cancelling.join();
    ASSERT_FALSE(ended);
    EXPECT_EQ(ended.error().code, 22);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms);
}

// A worker that ends by itself (its idle exit) is reaped at once, its pipes closed; the next
// request starts a fresh one.
TEST_F(WorkerTextRecognizerTest, AnExitedWorkerIsReapedAndNeverReused) {
    const int descriptors = openDescriptors();
    const QString pidFile = dir.filePath("pid");
    WorkerTextRecognizer recognizer(
        worker("once", "echo $$ > '" + pidFile.toUtf8() + "'\n" + takeRequest +
                           "printf 'lines 1\\n0 0 1 1\\tone\\n'\nexit 0\n"));
    ASSERT_TRUE(recognizer.recognize(image, {}, nullptr));
    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const pid_t pid = file.readAll().trimmed().toInt();
    file.close();
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(within(3s, [&] { return recognizer.workerPid() == 0; }));
    EXPECT_TRUE(within(1s, [&] { return gone(pid); })) << "left a zombie";
    EXPECT_TRUE(within(1s, [&] { return openDescriptors() == descriptors; }))
        << openDescriptors() << " descriptors open, " << descriptors << " before";
    const auto again = recognizer.recognize(image, {}, nullptr);
    ASSERT_TRUE(again) << again.error().message.toStdString();
    EXPECT_EQ(again.value().at(0).text, "one");
    EXPECT_EQ(starts(), 2);
}

// A request that meets the worker just as it leaves (alive when asked, gone before it answers)
// is asked again of a fresh worker, once; a fresh worker that fails is not asked again.
TEST_F(WorkerTextRecognizerTest, ARequestMeetingTheIdleExitIsAskedAgainOnce) {
    const QString counter = dir.filePath("starts");
    WorkerTextRecognizer recognizer(
        worker("leaving", "if [ \"$(wc -l < '" + counter.toUtf8() +
                              "')\" -eq 1 ]; then\n"
                              "  read request; printf 'languages en-US\\n'\n"
                              "  read request; exit 0\n"
                              "fi\n"
                              "while read request; do head -c 800 >/dev/null; "
                              "printf 'lines 1\\n0 0 1 1\\tfresh\\n'; done\n"));
    // The first start answers one request, then leaves when the next arrives.
    ASSERT_TRUE(recognizer.supportedLanguages(nullptr));
    const auto answered = recognizer.recognize(image, {}, nullptr);
    ASSERT_TRUE(answered) << answered.error().message.toStdString();
    EXPECT_EQ(answered.value().at(0).text, "fresh");
    EXPECT_EQ(starts(), 2);

    WorkerTextRecognizer crashing(worker("crashing", "read request\nexit 3\n"));
    const int before = starts();
    EXPECT_EQ(crashing.recognize(image, {}, nullptr).error().message, "识别进程意外退出");
    EXPECT_EQ(starts(), before + 1);
}

// A worker made ready starts without a request and serves the next one;
// a second prepare, or one made while a request runs, starts nothing and never waits.
TEST_F(WorkerTextRecognizerTest, PrepareStartsTheWorkerTheRequestThenUses) {
    WorkerTextRecognizer recognizer(
        worker("ready",
               "while read request; do head -c 800 >/dev/null; sleep 0.5; "
               "printf 'lines 1\\n0 0 1 1\\tready\\n'; done\n"));
    recognizer.prepare();
    ASSERT_TRUE(within(2s, [&] { return starts() == 1; }));
    const pid_t pid = recognizer.workerPid();
    EXPECT_NE(pid, 0);
    recognizer.prepare();
    Result<std::vector<RecognizedLine>> result = std::vector<RecognizedLine>{};
    std::thread running([&] { result = recognizer.recognize(image, {}, nullptr); });
    std::this_thread::sleep_for(100ms);
    const auto asked = std::chrono::steady_clock::now();
    recognizer.prepare();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 200ms);
    running.join();
    ASSERT_TRUE(result) << result.error().message.toStdString();
    EXPECT_EQ(result.value().at(0).text, "ready");
    EXPECT_EQ(recognizer.workerPid(), pid);
    EXPECT_EQ(starts(), 1);

    WorkerTextRecognizer missing(dir.filePath("none"));
    missing.prepare();  // nothing to start: the request says so
    EXPECT_EQ(missing.workerPid(), 0);
}
