// One accessibility query as the resolver makes it, against a real application over AT-SPI:
// the median time and how often the 0.6 s budget runs out. Run inside a world with the
// application's window on screen: tessal-atspi-bench PID [QUERIES]
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "base/Clock.h"
#include "capture/ScreenCapture.h"
#include "capture/ScreenGeometry.h"
#include "platform/Platform.h"
#include "regions/AccessibleChildRegions.h"

using namespace tessal;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tessal-atspi-bench PID [QUERIES]\n");
        return 2;
    }
    const int pid = std::atoi(argv[1]);
    const int queries = argc > 2 ? std::atoi(argv[2]) : 40;
    int qtArgc = 1;
    char name[] = "tessal-atspi-bench";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    Platform platform = createSystemPlatform();
    platform.accessibility->refreshDisplays();
    const auto displays = platform.capture->displays();
    if (displays.empty()) return 1;
    std::vector<Rect> frames;
    for (const auto& d : displays) frames.push_back(d.frame);
    const double top = primaryTop(frames);
    std::optional<Rect> window;
    for (const WindowTarget& t : captureWindowTargets(platform.capture->windowList(), 0))
        if (t.pid == pid) window = localWindowRect(t.rect, displays.front().frame, top);
    if (!window) {
        std::fprintf(stderr, "no window of pid %d on the primary display\n", pid);
        return 1;
    }
    std::vector<double> times;
    int overBudget = 0;
    std::size_t regions = 0;
    for (int i = 0; i < queries; ++i) {
        // Points spread over the window, as a moving pointer would ask.
        const Point p{
            window->minX() + window->width() * (0.1 + 0.8 * ((i * 7) % queries) / queries),
            window->minY() + window->height() * (0.1 + 0.8 * ((i * 13) % queries) / queries)};
        const auto start = std::chrono::steady_clock::now();
        regions += accessibleChildRegions(*platform.accessibility, SystemClock::shared(), pid, p,
                                          displays.front().frame, top, window)
                       .size();
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        times.push_back(s * 1000);
        overBudget += s >= 0.6;
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "AT-SPI query: median %.1f ms, max %.1f ms, budget (0.6 s) reached %d of %d, %.1f regions "
        "per query\n",
        times[times.size() / 2], times.back(), overBudget, queries, double(regions) / queries);
    return 0;
}
