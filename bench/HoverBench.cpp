// The main thread's cost of hovering while the region source is slow: each pointer move over a
// grid of windows runs updateHover on a real SelectionView (offscreen), with region queries on
// the real serial queue answering only after 200 ms. The main thread must never wait for them.
#include <benchmark/benchmark.h>

#include "BenchMain.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "base/Clock.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "capture/SelectionView.h"
#include "capture/SelectionViewModel.h"

using namespace tessal;

namespace {

ScreenSnapshot gridSnapshot(std::atomic<int>& queries) {
    ScreenSnapshot s;
    s.frame = Rect(0, 0, 1920, 1080);
    s.image = QImage(1920, 1080, QImage::Format_RGB32);
    s.image.fill(QColor(230, 232, 236));
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            s.windows.push_back(Rect(20 + column * 475, 20 + row * 350, 455, 330));
    s.childRegions = [&queries](int index, Point p) {
        ++queries;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const Rect w(20 + (index % 4) * 475, 20 + (index / 4) * 350, 455, 330);
        return std::vector<Rect>{Rect(w.minX() + 10, w.minY() + 10, 200, 150),
                                 Rect(p.x - 60, p.y - 50, 120, 100)};
    };
    return s;
}

// Each iteration is one 16 ms frame in real time: the pointer sweeps for half a second, then
// rests for half a second, so the slow answers really arrive and are applied. Timed is the main
// thread's work of the frame (the pointer move and the answers handed back to it); the wait for
// the frame's end is not.
void BM_UpdateHoverWithSlowRegions(benchmark::State& state) {
    std::atomic<int> queries{0};
    ManualClock clock;
    ManualMainQueue queue(clock);
    SelectionViewModel model(gridSnapshot(queries), queue, clock,
                             SerialQueue::submitter("local.ostrel.child-regions"));
    SelectionView view(model, nullptr);
    int frame = 0, answered = 0;
    double x = 40, worst = 0;
    std::optional<Rect> shown;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool moving = (frame / 30) % 2 == 0;
        if (moving) {
            x = x + 5 > 1880 ? 40 : x + 5;
            model.updateHover({x, double(200 + int(x) % 700)});
        }
        queue.runPending();
        // A child region (not a whole window) shown: an answer arrived and was applied.
        if (model.displayedRect() != shown) {
            shown = model.displayedRect();
            if (shown && shown->width() < 455) ++answered;
        }
        const auto worked = std::chrono::steady_clock::now() - start;
        worst = std::max(worst, std::chrono::duration<double, std::micro>(worked).count());
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(16) - worked);
        clock.advance(0.016);
        ++frame;
        state.ResumeTiming();
    }
    state.counters["queries"] = queries.load();
    state.counters["answers_shown"] = answered;
    state.counters["worst_us"] = worst;
    SerialQueue::named("local.ostrel.child-regions").flush();
    queue.runPending();
}
BENCHMARK(BM_UpdateHoverWithSlowRegions)->Unit(benchmark::kMicrosecond)->Iterations(240);

// A repaint after the highlight moved: the old and the new rectangle, as the view asks for.
void BM_HoverRepaint(benchmark::State& state) {
    std::atomic<int> queries{0};
    ManualClock clock;
    ManualMainQueue queue(clock);
    SelectionViewModel model(gridSnapshot(queries), queue, clock, [](std::function<void()>) {});
    SelectionView view(model, nullptr);
    QImage target(1920, 1080, QImage::Format_RGB32);
    bool first = true;
    for (auto _ : state) {
        model.updateHover(first ? Point{100, 900} : Point{600, 900});
        first = !first;
        QPainter painter(&target);
        view.render(&painter, QPoint(), QRegion(20, 20, 930, 330));
    }
}
BENCHMARK(BM_HoverRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks<QApplication>(argc, argv);
}
