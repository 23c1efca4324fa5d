// The editing session's figures, in process on the offscreen platform: from a chosen rectangle
// to the canvas and toolbar being shown, and from Return to the PNG handed to the clipboard.
#include <benchmark/benchmark.h>

#include "BenchMain.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <chrono>
#include <random>

#include "annotation/AnnotationToolbar.h"
#include "annotation/Canvas.h"
#include "app/Resources.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "capture/Editor.h"
#include "capture/OverlayWindow.h"
#include "platform/fake/FakePlatform.h"

using namespace tessal;

namespace {

ScreenSnapshot screen(int w, int h) {
    ScreenSnapshot s;
    s.frame = Rect(0, 0, 1920, 1080);
    s.image = QImage(w, h, QImage::Format_RGB32);
    s.image.fill(QColor(240, 242, 245));
    QPainter painter(&s.image);
    std::mt19937 random(9);
    for (int i = 0; i < 80; ++i)
        painter.fillRect(random() % w, random() % h, 40 + random() % 500, 20 + random() % 300,
                         QColor(random() % 256, random() % 256, random() % 256));
    QFont font;
    font.setPixelSize(h / 60);
    painter.setFont(font);
    for (int y = 20; y < h; y += h / 45)
        painter.drawText(20, y, QStringLiteral("Tessal 截图 benchmark text line 0123456789"));
    return s;
}

struct Session {
    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePasteboard pasteboard;
    std::unique_ptr<Editor> editor;
    explicit Session(int w, int h) {
        editor = std::make_unique<Editor>(
            std::vector<ScreenSnapshot>{screen(w, h)},
            EditorEnvironment{.mainQueue = queue,
                              .clock = clock,
                              .pasteboard = pasteboard,
                              .defaults = defaults,
                              .regionQueue = [](std::function<void()>) {}});
        editor->showWindow();
    }
};

void BM_ClickToToolbar(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Session session(1920, 1080);
        state.ResumeTiming();
        session.editor->select(Rect(300, 200, 900, 600), 0);
        QApplication::processEvents();  // the first paint of canvas, chrome and toolbar
        benchmark::DoNotOptimize(session.editor->toolbar());
        state.PauseTiming();
        session.editor.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClickToToolbar)->Unit(benchmark::kMillisecond)->Iterations(20);

// range(0): image width in pixels of the full 1920 × 1080-point display (1920 or 3840);
// range(1): marks drawn before (0, or 20 of every kind, text included). A Return key event is
// delivered to the session's overlay window, as the keyboard would. Timed: until the clipboard
// holds the offer and the session has closed (what the user waits for); the counter png_ready_ms is
// how long after Return the PNG itself is ready for a paste.
void BM_ReturnToClipboard(benchmark::State& state) {
    const int w = int(state.range(0));
    qsizetype bytes = 0;
    double ready = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Session session(w, w * 9 / 16);
        session.pasteboard.pasteAtOnce = false;
        session.editor->select(Rect(0, 0, 1920, 1080), 0);
        for (int i = 0; i < int(state.range(1)); ++i) {
            static const Tool kinds[] = {Tool::rectangle, Tool::arrow,  Tool::pen,
                                         Tool::ellipse,   Tool::number, Tool::highlight,
                                         Tool::text,      Tool::mosaic};
            Mark m;
            m.tool = kinds[i % 8];
            const Point p{double(40 + (i * 97) % 1700), double(40 + (i * 61) % 950)};
            m.points = {p, {p.x + 120, p.y + 60}};
            m.color = QColor(220, 40, 40);
            if (m.tool == Tool::text) m.text = QStringLiteral("标注 %1").arg(i);
            m.number = i + 1;
            session.editor->canvas()->model().restore(m);
        }
        bool closed = false;
        session.editor->onClose = [&closed] { closed = true; };
        QWidget* overlay = session.editor->overlays().front().get();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        const auto start = std::chrono::steady_clock::now();
        state.ResumeTiming();
        QApplication::sendEvent(overlay, &press);
        state.PauseTiming();
        if (!closed || !session.pasteboard.offered) state.SkipWithError("Return did not copy");
        bytes = session.pasteboard.offered ? session.pasteboard.offered->get().size() : 0;
        ready = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
        session.editor.reset();
        state.ResumeTiming();
    }
    state.counters["png_bytes"] = double(bytes);
    state.counters["png_ready_ms"] = ready;
}
BENCHMARK(BM_ReturnToClipboard)
    ->ArgsProduct({{1920, 3840}, {0, 160}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks<QApplication>(argc, argv, [] { initResources(); });
}
