// Text recognition speed through the program's own path (the worker process and the bands):
// the first recognition after start (worker and models loading), the first with the worker
// started a little before (as a capture session does), and warm ones, per image, and the
// worker's peak memory.
//   tessal_ocr_bench IMAGE...
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "platform/ocr/WorkerTextRecognizer.h"
#include "tools/TextRecognition.h"

using namespace tessal;

namespace {

double seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long long peakKilobytes(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ')[0].toLongLong();
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        const QImage image(QString::fromLocal8Bit(argv[i]));
        if (image.isNull()) continue;
        WorkerTextRecognizer recognizer(WorkerTextRecognizer::defaultWorkerPath());
        int lines = 0;
        auto run = [&] {
            const Result<QString> text = TextRecognition::recognize(image, recognizer);
            lines = text ? int(text.value().count('\n')) + !text.value().isEmpty() : -1;
        };
        const double first = seconds(run);
        std::vector<double> warm;
        for (int k = 0; k < 3; ++k) warm.push_back(seconds(run));
        std::sort(warm.begin(), warm.end());
        const long long peak = peakKilobytes(recognizer.workerPid()) / 1024;
        // As from a capture session: the worker started while the user selects.
        WorkerTextRecognizer prepared(WorkerTextRecognizer::defaultWorkerPath());
        prepared.prepare();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double afterPrepare = seconds([&] { TextRecognition::recognize(image, prepared); });
        std::printf(
            "%s (%d × %d, %d lines): first %.2f s (%.2f s with the worker started 3 s before), "
            "warm median %.2f s; worker peak %lld MiB\n",
            argv[i], image.width(), image.height(), lines, first, afterPrepare, warm[1], peak);
    }
    return 0;
}
