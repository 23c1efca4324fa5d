// Annotation figures: privacy pieces, the full-size PNG export and a redraw with many marks.
#include <benchmark/benchmark.h>

#include "BenchMain.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QUndoStack>
#include <random>

#include "annotation/CanvasModel.h"
#include "annotation/CanvasRenderer.h"
#include "base/Clock.h"
#include "imaging/PngEncoder.h"
#include "imaging/PrivacyFilters.h"

using namespace tessal;

namespace {

// Something like a screen: flat panels, text-like strokes and a photo-like noisy area.
QImage screenLike(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(245, 246, 248));
    QPainter painter(&image);
    std::mt19937 random(3);
    for (int i = 0; i < 60; ++i) {
        painter.fillRect(random() % w, random() % h, 50 + random() % 400, 30 + random() % 200,
                         QColor(random() % 256, random() % 256, random() % 256));
    }
    painter.setPen(Qt::black);
    QFont font;
    font.setPixelSize(14);
    painter.setFont(font);
    for (int y = 20; y < h; y += 22)
        painter.drawText(30, y, QStringLiteral("The quick brown fox 1234567890 快速的棕色狐狸"));
    return image;
}

void BM_BlurPiece1000(benchmark::State& state) {
    const QImage image = screenLike(2000, 1600);
    // Width 6 on a scale-2 capture: amount 48 points × 2 = 96 pixels.
    for (auto _ : state)
        benchmark::DoNotOptimize(gaussianBlur(image, QRect(400, 300, 1000, 1000), 96 / 2.0));
}
BENCHMARK(BM_BlurPiece1000)->Unit(benchmark::kMillisecond);

void BM_PixellatePiece1000(benchmark::State& state) {
    const QImage image = screenLike(2000, 1600);
    for (auto _ : state)
        benchmark::DoNotOptimize(pixellate(image, QRect(400, 300, 1000, 1000), 96));
}
BENCHMARK(BM_PixellatePiece1000)->Unit(benchmark::kMillisecond);

Mark mark(Tool tool, std::vector<Point> points, double width = 3) {
    Mark m;
    m.tool = tool;
    m.points = std::move(points);
    m.color = QColor(255, 59, 48);
    m.width = width;
    return m;
}

void BM_Png4K(benchmark::State& state) {
    ManualClock clock;
    CanvasModel canvas(screenLike(3840, 2160), 3840, 2160, nullptr, clock);
    canvas.setSize({1920, 1080});
    canvas.restore(mark(Tool::rectangle, {{100, 100}, {500, 400}}));
    canvas.restore(mark(Tool::ellipse, {{600, 100}, {900, 300}}));
    canvas.restore(mark(Tool::arrow, {{100, 800}, {700, 500}}));
    canvas.restore(mark(Tool::pen, {{1000, 100}, {1100, 150}, {1200, 120}, {1300, 200}}));
    canvas.restore(mark(Tool::highlight, {{1000, 500}, {1500, 500}}));
    Mark text = mark(Tool::text, {{1000, 700}});
    text.text = QStringLiteral("标注文字 Annotation");
    canvas.restore(text);
    canvas.restore(mark(Tool::number, {{1700, 900}}));
    canvas.restore(mark(Tool::mosaic, {{200, 500}, {500, 700}}, 3));
    canvas.restore(mark(Tool::blur, {{1400, 100}, {1800, 400}}, 6));
    Mark brush = mark(Tool::mosaic, {{600, 900}, {900, 950}, {1200, 900}}, 3);
    brush.mosaicBrush = true;
    canvas.restore(brush);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto png = CanvasRenderer::png(canvas);
        bytes = png ? png->size() : 0;
    }
    state.counters["png_bytes"] = double(bytes);
}
BENCHMARK(BM_Png4K)->Unit(benchmark::kMillisecond);

// The PNG encoder alone on a desktop-like screenshot. range(0): width (1920 or 3840, 16:9);
// range(1): threads for ours, or 0 for Qt's writer at zlib level 1 (what copies used before).
void BM_EncodePng(benchmark::State& state) {
    const int w = int(state.range(0)), threads = int(state.range(1));
    const QImage image = screenLike(w, w * 9 / 16);
    qsizetype bytes = 0;
    for (auto _ : state) {
        if (threads == 0) {
            QByteArray out;
            QBuffer buffer(&out);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, "png");
            writer.setQuality(80);
            writer.write(image);
            bytes = out.size();
        } else {
            bytes = PngEncoder::encode(image, threads).value_or(QByteArray()).size();
        }
    }
    state.counters["png_bytes"] = double(bytes);
}
BENCHMARK(BM_EncodePng)
    ->ArgsProduct({{1920, 3840}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

void BM_Redraw200Marks(benchmark::State& state) {
    ManualClock clock;
    CanvasModel canvas(screenLike(1920, 1080), 1920, 1080, nullptr, clock);
    canvas.setSize({1920, 1080});
    std::mt19937 random(5);
    const Tool kinds[] = {Tool::rectangle, Tool::arrow,     Tool::pen, Tool::ellipse,
                          Tool::number,    Tool::highlight, Tool::text};
    for (int i = 0; i < 200; ++i) {
        const Point p{double(random() % 1800), double(random() % 1000)};
        Mark m = mark(kinds[i % 7], {p, {p.x + 80, p.y + 50}});
        if (m.tool == Tool::pen || m.tool == Tool::highlight)
            for (int k = 0; k < 20; ++k) m.points.push_back({p.x + k * 4, p.y + (k % 5) * 3});
        if (m.tool == Tool::text) m.text = QStringLiteral("第 %1 条").arg(i);
        m.number = i;
        canvas.restore(m);
    }
    QImage target(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    // range(0): 0 = everything drawn afresh (the first frame after any change), 1 = a frame
    // while a new mark is being drawn (committed marks come from the layer cache).
    CanvasRenderer::LayerCache cache;
    const bool cached = state.range(0) == 1;
    if (cached) canvas.mouseDown({100, 100}, 1);
    double x = 100;
    for (auto _ : state) {
        if (cached) canvas.mouseDragged({x += 1, 300}, false);
        QPainter painter(&target);
        CanvasRenderer::paint(painter, canvas, true, cached ? &cache : nullptr);
    }
}
BENCHMARK(BM_Redraw200Marks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks<QGuiApplication>(argc, argv);
}
