// Child-region figures: the visual analysis of a UI-like window, and a warm resolver lookup.
#include <benchmark/benchmark.h>

#include "BenchMain.h"

#include <QGuiApplication>
#include <QPainter>
#include <random>

#include "base/Clock.h"
#include "regions/ChildRegionResolver.h"
#include "regions/VisualChildRegions.h"

using namespace tessal;

namespace {

// A 1536 × 1000-point window like an application: toolbar, sidebar, list of cards, text.
QImage uiLike(double scale) {
    const int w = int(1536 * scale), h = int(1000 * scale);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(246, 247, 249));
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.fillRect(0, 0, 1536, 52, QColor(232, 235, 240));
    painter.fillRect(0, 52, 260, 948, QColor(238, 240, 244));
    std::mt19937 random(4);
    QFont font;
    font.setPixelSize(13);
    painter.setFont(font);
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 4; ++column) {
            const QRect card(290 + column * 305, 80 + row * 150, 285, 130);
            painter.fillRect(card, Qt::white);
            painter.setPen(QColor(210, 214, 220));
            painter.drawRect(card);
            painter.setPen(QColor(40, 40, 40));
            for (int line = 0; line < 4; ++line)
                painter.drawText(card.x() + 14, card.y() + 28 + line * 22,
                                 QStringLiteral("Card text 卡片 %1").arg(random() % 1000));
        }
    }
    for (int i = 0; i < 20; ++i)
        painter.drawText(20, 90 + i * 28, QStringLiteral("Sidebar item %1").arg(i));
    return image;
}

void BM_VisualChildRegions(benchmark::State& state) {
    const double scale = double(state.range(0));
    const QImage image = uiLike(scale);
    std::size_t found = 0;
    for (auto _ : state)
        found = visualChildRegions(image, {1536, 1000}, Rect(0, 0, 1536, 1000)).size();
    state.counters["regions"] = double(found);
}
BENCHMARK(BM_VisualChildRegions)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_WarmRegionsLookup(benchmark::State& state) {
    ChildAccessibilityWorker worker([](std::function<void()>) {});
    auto resolver = ChildRegionResolver::create(uiLike(1), Rect(0, 0, 1536, 1000),
                                                {{Rect(0, 0, 1536, 1000), 1}}, worker, nullptr,
                                                SystemClock::shared());
    resolver->regions(0, {500, 500});
    double x = 400;
    for (auto _ : state)
        benchmark::DoNotOptimize(resolver->regions(0, {x = x > 1400 ? 400 : x + 1, 500}));
}
BENCHMARK(BM_WarmRegionsLookup)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks<QGuiApplication>(argc, argv);
}
