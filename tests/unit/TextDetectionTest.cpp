#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <thread>

#include "imaging/TextDetection.h"
#include "platform/ocr/WorkerTextRecognizer.h"

using namespace tessal;

TEST(TextDetection, BoxesFromTheProbabilityMap) {
    // A 64 × 32 map (the image is twice as large): one confident word, one faint blot, one
    // speck too small to be text.
    std::vector<float> map(64 * 32, 0.0f);
    auto fill = [&](int x0, int y0, int w, int h, float p) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) map[std::size_t(y) * 64 + x] = p;
    };
    fill(10, 10, 20, 6, 0.9f);  // text
    fill(40, 20, 10, 6, 0.4f);  // over the threshold, but not sure enough to be text
    fill(50, 2, 2, 2, 0.95f);   // too small
    const std::vector<QRect> found = TextDetection::boxes(map.data(), 64, 32, QSize(128, 64));
    ASSERT_EQ(found.size(), 1u);
    // Grown by area × 1.5 / perimeter = 120 × 1.5 / 52 ≈ 3.46 on every side, then doubled.
    EXPECT_EQ(found[0], QRect(13, 13, 54, 26));
}

TEST(TextDetection, DecodingJoiningAndMargins) {
    // Steps: a, a, blank, a, b, b → "aab" (a repeat after a blank counts again).
    const QStringList keys{"a", "b"};
    const float p[] = {0.1f, 0.8f, 0.1f, 0.1f, 0.9f, 0.0f, 0.9f, 0.05f, 0.05f,
                       0.2f, 0.7f, 0.1f, 0.1f, 0.1f, 0.8f, 0.0f, 0.1f,  0.9f};
    double least = 0;
    EXPECT_EQ(TextDetection::decode(p, 6, 3, keys, &least), "aab");
    EXPECT_FLOAT_EQ(least, 0.7f);

    // Pieces on one row join left to right, with a space for a wide gap; a piece far to the
    // side (another window) stays a line of its own; rows go top to bottom.
    const auto lines = TextDetection::joinRows({{"保存", QRect(100, 50, 40, 20)},
                                                {"New", QRect(10, 12, 30, 20)},
                                                {"Ctrl+N", QRect(120, 10, 50, 20)},
                                                {"文件", QRect(145, 52, 40, 18)},
                                                {"far", QRect(900, 11, 30, 20)}});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "New Ctrl+N");
    EXPECT_EQ(lines[1].text, "far");
    EXPECT_EQ(lines[2].text, "保存文件");

    QImage image(50, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    EXPECT_TRUE(TextDetection::contentRect(image).isEmpty());
    image.setPixel(20, 5, qRgb(0, 0, 0));
    image.setPixel(30, 33, qRgb(0, 0, 0));
    EXPECT_EQ(TextDetection::contentRect(image), QRect(QPoint(20, 5), QPoint(30, 33)));
}

// The worker's client against stand-in workers: one that dies, one that answers nonsense, one
// that never answers (cancelled from another thread), and a missing one.
TEST(WorkerTextRecognizer, FailuresBecomeErrors) {
    QTemporaryDir dir;
    auto worker = [&](const QString& name, const QByteArray& script) {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("#!/bin/sh\n" + script);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::white);

    WorkerTextRecognizer missing(dir.filePath("absent"));
    EXPECT_EQ(missing.recognize(image, {}).error().message, "未安装文字识别组件");

    WorkerTextRecognizer crashing(worker("crash", "read request\nexit 3\n"));
    EXPECT_EQ(crashing.recognize(image, {}).error().message, "识别进程意外退出");

    WorkerTextRecognizer confused(worker("confused", "read request\necho hello\ncat >/dev/null\n"));
    EXPECT_EQ(confused.recognize(image, {}).error().message, "识别进程的回答无法读取");

    WorkerTextRecognizer answering(
        worker("answers",
               "read request\nhead -c 800 >/dev/null\nprintf 'lines 1\\n0.1 0.2 0.5 "
               "0.3\\t你好\\n'\nread again\n"));
    const auto lines = answering.recognize(image, {});
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines.value().size(), 1u);
    EXPECT_EQ(lines.value()[0].text, "你好");
    EXPECT_EQ(lines.value()[0].box, QRectF(0.1, 0.2, 0.5, 0.3));

    WorkerTextRecognizer hanging(worker("hang", "exec sleep 60\n"));
    std::thread cancel([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        hanging.cancel();
    });
    const auto cancelled = hanging.recognize(image, {});
    cancel.join();
    ASSERT_FALSE(cancelled);
    EXPECT_EQ(cancelled.error().code, 22);
    EXPECT_EQ(hanging.workerPid(), 0);
}
