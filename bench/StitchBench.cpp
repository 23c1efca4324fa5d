// The scroll stitcher: time per append for scale-2 frames, memory held after many frames, and
// how exactly synthetic sequences come back.
#include <benchmark/benchmark.h>

#include "BenchMain.h"

#include <QGuiApplication>
#include <QPainter>
#include <random>

#include "longcapture/ScrollStitcher.h"

using namespace tessal;

namespace {

QImage document(int w, int h, int seed) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont font;
    font.setPixelSize(26);
    p.setFont(font);
    std::mt19937 random(seed);
    for (int y = 0, row = 0; y < h; y += 88, ++row) {
        p.fillRect(0, y, w, 88, row % 2 ? QColor(246, 247, 250) : Qt::white);
        p.fillRect(20, y + 16, 56, 56, QColor::fromHsv(int(random() % 360), 150, 220));
        p.setPen(Qt::black);
        p.drawText(
            100, y + 54,
            QStringLiteral("Row %1 — %2 the quick brown fox").arg(row).arg(random() % 100000));
    }
    return image;
}

// Appends frames scrolled by 1…400 rows (range(0) = frame width; height 1600 or 1440).
void BM_Append(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const QImage doc = document(w, 60000, 1);
    std::mt19937 random(2);
    std::vector<QImage> frames;
    int offset = 0;
    frames.push_back(doc.copy(0, 0, w, h));
    for (int i = 0; i < 60; ++i) {
        offset += 1 + int(random() % 400);
        frames.push_back(doc.copy(0, offset, w, h));
    }
    std::size_t next = 1;
    ScrollStitcher stitcher(frames[0], 2'000'000'000);
    for (auto _ : state) {
        if (next == frames.size()) {
            state.PauseTiming();
            stitcher = ScrollStitcher(frames[0], 2'000'000'000);
            next = 1;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(stitcher.append(frames[next++], true));
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Append)
    ->Args({1280, 1600})
    ->Args({2560, 1440})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ComputeStatistics("max", [](const std::vector<double>& v) {
        return *std::max_element(v.begin(), v.end());
    });

}  // namespace

void printFigures() {
    // Worst single append and the memory held after 200 frames of 1280 × 1600.
    {
        const QImage doc = document(1280, 40000, 3);
        ScrollStitcher stitcher(doc.copy(0, 0, 1280, 1600), 2'000'000'000);
        std::vector<double> times;
        int offset = 0;
        for (int i = 0; i < 200; ++i) {
            offset = std::min(offset + 1 + (i * 37) % 190, 40000 - 1600);
            const QImage frame = doc.copy(0, offset, 1280, 1600);
            const auto start = std::chrono::steady_clock::now();
            stitcher.append(frame, true);
            times.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        std::sort(times.begin(), times.end());
        std::printf(
            "200 frames of 1280x1600: median %.2f ms, worst %.2f ms, result %d rows, pieces hold "
            "%.1f MiB "
            "(%.1f MiB of frames went in)\n",
            times[times.size() / 2], times.back(), stitcher.height(),
            stitcher.heldPixels() * 4 / 1048576.0, 200 * 1280.0 * 1600 * 4 / 1048576.0);
    }
    // Exactness: random scroll sequences over unambiguous documents must come back identical;
    // over periodic rows (ambiguous) no append may report a wrong shift.
    {
        int identical = 0, sequences = 0, wrong = 0, ambiguousAppends = 0;
        for (int seed = 0; seed < 30; ++seed) {
            const QImage doc = document(640, 12000, 100 + seed);
            std::mt19937 random(seed);
            int offset = 0;
            ScrollStitcher stitcher(doc.copy(0, 0, 640, 800), 2'000'000'000);
            bool exact = true;
            for (int i = 0; i < 20; ++i) {
                const int shift = 1 + int(random() % 700);
                if (offset + shift + 800 > 12000) break;
                offset += shift;
                const auto r = stitcher.append(doc.copy(0, offset, 640, 800), true);
                if (!(r == ScrollAppendResult::appended(shift))) exact = false;
                if (r.kind == ScrollAppendResult::Kind::appended && r.rows != shift) ++wrong;
            }
            ++sequences;
            if (exact && stitcher.image() == doc.copy(0, 0, 640, offset + 800)) ++identical;
        }
        QImage periodic(640, 6000, QImage::Format_ARGB32_Premultiplied);
        {
            QPainter p(&periodic);
            for (int y = 0; y < 6000; y += 88) {
                p.fillRect(0, y, 640, 88, Qt::white);
                p.fillRect(20, y + 16, 300, 56, QColor(60, 120, 200));
            }
        }
        for (int shift = 10; shift < 600; shift += 23) {
            ScrollStitcher stitcher(periodic.copy(0, 0, 640, 800), 2'000'000'000);
            const auto r = stitcher.append(periodic.copy(0, shift, 640, 800), true);
            if (r.kind == ScrollAppendResult::Kind::appended) {
                ++ambiguousAppends;
                if ((r.rows - shift) % 88 != 0) ++wrong;
            }
        }
        std::printf(
            "exactness: %d of %d random sequences identical to the source; periodic content: %d "
            "appends "
            "(each a whole number of periods), %d wrong joins overall\n",
            identical, sequences, ambiguousAppends, wrong);
    }
}

int main(int argc, char** argv) {
    return runOffscreenBenchmarks<QGuiApplication>(argc, argv, printFigures);
}
