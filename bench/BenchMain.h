#pragma once

#include <benchmark/benchmark.h>

#include <QGuiApplication>

// The main of an offscreen benchmark: a Qt application of type App (GUI or widgets) without a
// display, then Google Benchmark. `before` runs first, for figures printed outside the
// benchmark table.
template <typename App, typename Before>
int runOffscreenBenchmarks(int argc, char** argv, Before before) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char name[] = "tessal-bench";
    char* qtArgv[] = {name, nullptr};
    App app(qtArgc, qtArgv);
    before();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

template <typename App>
int runOffscreenBenchmarks(int argc, char** argv) {
    return runOffscreenBenchmarks<App>(argc, argv, [] {});
}
