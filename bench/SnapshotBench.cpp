// Time to freeze the display: one screenshot of the whole primary display at its pixel size,
// through the same service the capture uses.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "capture/ScreenCapture.h"
#include "platform/Platform.h"

using namespace tessal;

namespace {

Platform* platform = nullptr;

void BM_DisplayScreenshot(benchmark::State& state) {
    const DisplayInfo display = platform->capture->displays().front();
    const int w = display.nativeRect.width();
    const int h = display.nativeRect.height();
    for (auto _ : state) {
        Result<QImage> image = platform->capture->screenshot(display, w, h);
        if (!image) state.SkipWithError("screenshot failed");
        benchmark::DoNotOptimize(image);
    }
    state.SetLabel(std::to_string(w) + "x" + std::to_string(h));
}
BENCHMARK(BM_DisplayScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The whole capture: window list, every display's image, snapshots.
void BM_CaptureScreens(benchmark::State& state) {
    for (auto _ : state) {
        auto snapshots = captureScreens(*platform->capture, 0);
        if (!snapshots) state.SkipWithError("capture failed");
        benchmark::DoNotOptimize(snapshots);
    }
}
BENCHMARK(BM_CaptureScreens)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    int qtArgc = 1;
    char name[] = "tessal-bench";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    Platform p = createSystemPlatform();
    platform = &p;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
