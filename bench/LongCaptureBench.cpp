// The long capture's main thread: how long each step it takes on the main thread lasts while
// 2560 × 1440 frames arrive (the appends run on their worker, as in the program), and what a
// 20,000-row capture holds in memory. Window content comes from a fake window stream; the
// controller, the frame stream, the buffer, the stitcher and the preview are the real ones.
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "longcapture/LongFrameStream.h"
#include "longcapture/LongScreenshot.h"
#include "platform/fake/FakePlatform.h"

using namespace tessal;

namespace {

QImage document(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont font;
    font.setPixelSize(26);
    p.setFont(font);
    std::mt19937 random(1);
    for (int y = 0, row = 0; y < h; y += 44, ++row) {
        p.fillRect(0, y, w, 44, row % 2 ? QColor(246, 247, 250) : Qt::white);
        p.fillRect(20, y + 6, 32, 32, QColor::fromHsv(int(random() % 360), 150, 220));
        p.setPen(Qt::black);
        p.drawText(70, y + 32, QStringLiteral("Row %1 — %2").arg(row).arg(random() % 100000));
    }
    return image;
}

long long kilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ')[0].toLongLong();
    return -1;
}

struct Run {
    std::vector<double> mainSteps;  // ms
    QSize result;
    LongScreenshot::Counts counts;
};

// A capture of `region` (window-list = global here) over a source window as large as the display,
// fed `frames` frames scrolled `step` rows apart from `doc`, `burst` frames at a time.
Run capture(const QImage& doc, QSize display, QRect region, int frames, int step, int burst) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    ManualClock clock;
    ManualMainQueue queue(clock);
    FakePlatform fake;
    fake.capture->addDisplay("d", Rect(0, 0, display.width(), display.height()));
    const QVariantMap bounds{
        {"x", 0}, {"y", 0}, {"width", display.width()}, {"height", display.height()}};
    fake.capture->windows = {
        QVariantMap{{"number", 5u}, {"pid", 900}, {"layer", 0}, {"bounds", bounds}}};
    fake.workspace->frontmostPid = 900;
    SerialQueue& appendQueue = SerialQueue::named("local.ostrel.long-capture.append");
    LongCaptureEnvironment environment{
        queue,
        clock,
        *fake.pasteboard,
        defaults,
        *fake.capture,
        *fake.windowStreams,
        *fake.workspace,
        1,
        [&appendQueue](std::function<void()> work) { appendQueue.async(std::move(work)); },
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr};
    const Rect screenRegion(region.x(), display.height() - region.bottom() - 1, region.width(),
                            region.height());
    LongScreenshot long_(Rect(0, 0, display.width(), display.height()), screenRegion,
                         std::move(environment));
    long_.start();
    Run run;
    auto timed = [&] {
        const auto start = std::chrono::steady_clock::now();
        queue.runPending();
        run.mainSteps.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    };
    timed();
    const int windowHeight = display.height();
    for (int i = 0; i < frames; i += burst) {
        for (int j = i; j < std::min(frames, i + burst); ++j) {
            const int offset = std::min(j * step, doc.height() - windowHeight);
            fake.windowStreams->push(doc.copy(0, offset, display.width(), windowHeight));
        }
        SerialQueue::named("local.zelmar.long-capture.frames").flush();
        // Until the buffer is empty: each main-thread turn is timed, the worker is waited for.
        for (int guard = 0; guard < 200; ++guard) {
            clock.advance(1.0 / 60);
            timed();
            appendQueue.flush();
            timed();
            if (!long_.processing() && long_.stitcher() &&
                long_.counts().received >= std::min(frames, i + burst))
                break;
        }
    }
    run.counts = long_.counts();
    if (long_.stitcher()) run.result = QSize(long_.stitcher()->width(), long_.stitcher()->height());
    long_.close();
    return run;
}

void report(const char* name, const Run& run) {
    std::vector<double> steps = run.mainSteps;
    std::sort(steps.begin(), steps.end());
    std::printf("%s: %zu main-thread turns, median %.2f ms, 99th %.2f ms, worst %.2f ms\n", name,
                steps.size(), steps[steps.size() / 2],
                steps[std::min(steps.size() - 1, steps.size() * 99 / 100)], steps.back());
    std::printf("  %d frames: %d appended, %d unchanged, %d unmatched; result %d × %d\n",
                run.counts.received, run.counts.appended, run.counts.unchanged,
                run.counts.unmatched, run.result.width(), run.result.height());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    {
        const QImage doc = document(2560, 9000);
        const Run run = capture(doc, QSize(2560, 1600), QRect(0, 80, 2560, 1440), 50, 120, 1);
        report("frames of 2560 × 1440, 120 rows apart", run);
    }
    {
        const long long before = kilobytes("VmRSS:");
        const QImage doc = document(1000, 21000);
        const Run run = capture(doc, QSize(1000, 1000), QRect(0, 100, 1000, 800), 200, 100, 4);
        report("a 20,000-row capture, 1000 × 800 frames, 4 at a time", run);
        std::printf(
            "  RSS before the test document was drawn %lld MiB, peak %lld MiB (its 84 MB "
            "included), "
            "buffer limits %d frames / %lld MiB\n",
            before / 1024, kilobytes("VmHWM:") / 1024, LongFrameBuffer::maximumCount,
            LongFrameBuffer::maximumBytes >> 20);
    }
    return 0;
}
