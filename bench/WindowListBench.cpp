// One window-list query on the running sway (SWAYSOCK): the whole query (the socket exchange and
// the tree read into windows), beside the exchange alone (the compositor's own answer, the floor).
// In a Plasma session instead: one query through a KWin script (loading, running, the report,
// unloading).
#include <QByteArray>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/wayland/KWinWindows.h"
#include "platform/wayland/SwayWindows.h"

using namespace tessal;

namespace {

template <typename Work>
double medianMicroseconds(int runs, Work work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int kwinQueries() {
    KWinWindows kwin(QDBusConnection::sessionBus(), 1000);
    const auto windows = kwin.windows();
    if (!windows) {
        std::fprintf(stderr, "KWin did not answer\n");
        return 1;
    }
    const double query = medianMicroseconds(10, [&] { (void)kwin.windows(); });
    std::printf("KWin window list: %zu windows\n", windows->size());
    std::printf("  query (load, run, report, unload): median %.0f us\n", query);
    return 0;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (kwinOffers(QDBusConnection::sessionBus(), KWinWindows::service)) return kwinQueries();
    const QString socket = qEnvironmentVariable("SWAYSOCK");
    if (socket.isEmpty()) {
        std::fprintf(stderr, "SWAYSOCK is not set\n");
        return 2;
    }
    SwayWindows sway(socket, 1000);
    const auto windows = sway.windows();
    if (!windows) {
        std::fprintf(stderr, "sway did not answer\n");
        return 1;
    }
    std::size_t bytes = 0;
    const double exchange = medianMicroseconds(50, [&] {
        const auto reply = exchangeOnSocket(
            socket, swayMessage(4),
            [](const QByteArray& b) {
                if (b.size() < 14) return false;
                quint32 length;
                std::memcpy(&length, b.constData() + 6, 4);
                return b.size() >= 14 + qsizetype(length);
            },
            1000);
        bytes = reply ? std::size_t(reply->size()) : 0;
    });
    const double query = medianMicroseconds(50, [&] { (void)sway.windows(); });
    std::printf("sway window list: %zu windows, %zu bytes of tree\n", windows->size(), bytes);
    std::printf("  query (exchange + reading the tree): median %.0f us\n", query);
    std::printf("  floor (the exchange alone):          median %.0f us\n", exchange);
    return 0;
}
