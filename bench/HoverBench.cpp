// The main thread's cost of hovering while the region source is slow: each pointer move over a
// grid of windows runs updateHover on a real SelectionView (offscreen), with region queries on
// the real serial queue answering only after 200 ms. The main thread must never wait for them.
#include <benchmark/benchmark.h>

#include "BenchMain.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
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

void BM_UpdateHoverWithSlowRegions(benchmark::State& state) {
    std::atomic<int> queries{0};
    ManualClock clock;
    ManualMainQueue queue(clock);
    SelectionViewModel model(gridSnapshot(queries), queue, clock, [](std::function<void()> job) {
        SerialQueue::named("local.ostrel.child-regions").async(std::move(job));
    });
    SelectionView view(model, nullptr);
    double x = 0;
    for (auto _ : state) {
        // A sweep across the grid at 5 points per 16 ms frame.
        x = x + 5 > 1900 ? 0 : x + 5;
        model.updateHover({x, double(200 + int(x) % 700)});
        clock.advance(0.016);
        queue.runPending();
    }
    state.counters["queries"] = queries.load();
    SerialQueue::named("local.ostrel.child-regions").flush();
    queue.runPending();
}
BENCHMARK(BM_UpdateHoverWithSlowRegions)->Unit(benchmark::kMicrosecond)->Iterations(400);

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
