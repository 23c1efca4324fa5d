// The screenshot history's figures, offscreen: what recording a 3840 × 2160 PNG adds to the copy
// path (on the main thread), and opening the history window over 100 such entries: the first
// paint, and every thumbnail and the preview shown (read on the worker queue, as in the program).
#include <benchmark/benchmark.h>

#include "BenchMain.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <chrono>
#include <random>

#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "platform/fake/FakePlatform.h"
#include "tools/ScreenshotHistory.h"
#include "tools/ScreenshotHistoryWindow.h"

using namespace tessal;

namespace {

// A desktop-like 3840 × 2160 screenshot as PNG (Qt's writer at the level the program uses).
QByteArray screenshot(int seed) {
    QImage image(3840, 2160, QImage::Format_RGB32);
    image.fill(QColor(236, 239, 244));
    QPainter painter(&image);
    std::mt19937 random(seed);
    for (int i = 0; i < 60; ++i)
        painter.fillRect(random() % 3600, random() % 2000, 80 + random() % 900, 40 + random() % 600,
                         QColor(random() % 256, random() % 256, random() % 256));
    QFont font;
    font.setPixelSize(28);
    painter.setFont(font);
    for (int y = 40; y < 2160; y += 48)
        painter.drawText(40 + int(random() % 200), y,
                         QStringLiteral("Tessal 截图历史 %1 — the quick brown fox").arg(random()));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", 80);
    return bytes;
}

void BM_RecordScreenshot4K(benchmark::State& state) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    ScreenshotHistory history(dir.filePath("History"), defaults);
    history.setEnabled(true);
    history.setLimit(20);
    const std::vector<QByteArray> shots = {screenshot(1), screenshot(2), screenshot(3)};
    std::size_t i = 0;
    for (auto _ : state) history.record(shots[i++ % shots.size()]);
    state.counters["png_bytes"] = double(shots[0].size());
    state.counters["entries"] = double(history.entries().size());
}
BENCHMARK(BM_RecordScreenshot4K)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_OpenHistoryWith100Entries(benchmark::State& state) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    ScreenshotHistory history(dir.filePath("History"), defaults,
                              ScreenshotHistory::standardMaximumBytes, dir.filePath("thumbnails"));
    QDir().mkpath(history.directory());
    const QByteArray shot = screenshot(4);
    for (int i = 0; i < 100; ++i) {
        QFile f(
            QDir(history.directory())
                .filePath(QString::asprintf("%020lld-%064d.png", 1'700'000'000'000'000ll + i, i)));
        f.open(QIODevice::WriteOnly);
        f.write(shot);
    }
    FakePasteboard pasteboard;
    // The first opening reads every entry (no thumbnail made yet: as after an upgrade); later
    // ones find the thumbnails made when the entries were recorded.
    std::vector<double> firstPaint, allShown;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        ScreenshotHistoryWindow window(
            history,
            HistoryWindowEnvironment{QtMainQueue::shared(), pasteboard, defaults, nullptr, nullptr,
                                     SerialQueue::submitter("local.ostrel.history-thumbnails")});
        window.showWindow();
        QApplication::processEvents();
        window.repaint();
        const auto painted = std::chrono::steady_clock::now();
        auto shown = [&] {
            for (int row = 0; row < 100; ++row)
                if (window.rowThumbnail(row).isNull()) return false;
            return !window.previewImage().isNull();
        };
        while (!shown()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const auto done = std::chrono::steady_clock::now();
        firstPaint.push_back(std::chrono::duration<double, std::milli>(painted - start).count());
        allShown.push_back(std::chrono::duration<double, std::milli>(done - start).count());
        qint64 held = 0;
        for (int row = 0; row < 100; ++row) held += window.rowThumbnail(row).sizeInBytes();
        state.counters["thumbnail_bytes"] = double(held);
    }
    state.counters["first_paint_ms"] = firstPaint.back();
    state.counters["all_shown_cold_ms"] = allShown.front();
    state.counters["all_shown_ms"] = allShown.back();
}
BENCHMARK(BM_OpenHistoryWith100Entries)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks<QApplication>(argc, argv);
}
