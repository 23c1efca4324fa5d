// tessal-ocr-worker: Tessal's text recogniser in a process of its own, so the resident program
// never carries the models. It answers requests on standard input (OcrProtocol.h) until it has
// been idle for 60 seconds.
//   tessal-ocr-worker --models DIR [--read IMAGE [--times N] [--warm-up]]
//     --read: one image, codes and lines to stdout; --times: read it N times and print where
//     each reading's time went to standard error (for measurements); --warm-up: first as the
//     worker does when it starts for requests.
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "CodeReader.h"
#include "OcrProtocol.h"
#include "OnnxTextReader.h"

using namespace tessal;

namespace {

constexpr int kIdleMilliseconds = 60'000;

bool readExactly(int fd, char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::read(fd, data, size);
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// One request line, waiting at most the idle time for it; empty at the end or after idling.
std::string requestLine() {
    std::string line;
    char c = 0;
    pollfd input{0, POLLIN, 0};
    if (poll(&input, 1, kIdleMilliseconds) <= 0) return line;
    while (::read(0, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

void reply(const QByteArray& text) {
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    std::fflush(stdout);
}

QString modelDirectory(const QStringList& args) {
    const int at = args.indexOf(QStringLiteral("--models"));
    if (at >= 0 && at + 1 < args.size()) return args[at + 1];
    if (!qEnvironmentVariable("TESSAL_OCR_MODELS").isEmpty())
        return qEnvironmentVariable("TESSAL_OCR_MODELS");
    // Installed: the worker in lib/tessal, the models in share/tessal/ocr; else the build's.
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                              QStringLiteral("/../../share/tessal/ocr"));
#ifdef TESSAL_OCR_MODELS_DIR
    if (!QFileInfo::exists(installed)) return QStringLiteral(TESSAL_OCR_MODELS_DIR);
#endif
    return installed;
}

QByteArray linesReply(const std::vector<OnnxTextReader::Line>& lines, QSize size) {
    QByteArray out = "lines " + QByteArray::number(qsizetype(lines.size())) + "\n";
    for (const auto& line : lines) out += OcrProtocol::lineReply(line.box, size, line.text) + '\n';
    return out;
}

QByteArray codesReply(const std::vector<CodeReader::Code>& codes, QSize size) {
    QByteArray out = "lines " + QByteArray::number(qsizetype(codes.size())) + "\n";
    for (const auto& code : codes)
        out +=
            OcrProtocol::codeReply(code.box, size, code.format, code.text, code.binaryBytes) + '\n';
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString error;
    const int threads = int(std::max(1u, std::thread::hardware_concurrency()));
    const auto loadStarted = std::chrono::steady_clock::now();
    std::unique_ptr<OnnxTextReader> reader;
    const int readAt = args.indexOf(QStringLiteral("--read"));
    if (readAt >= 0 && readAt + 1 < args.size()) {
        reader = OnnxTextReader::load(modelDirectory(args), threads, &error);
        const double loadSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - loadStarted).count();
        if (!reader) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        const QImage image(args[readAt + 1]);
        if (image.isNull()) return 2;
        const int timesAt = args.indexOf(QStringLiteral("--times"));
        const int times = timesAt >= 0 && timesAt + 1 < args.size() ? args[timesAt + 1].toInt() : 0;
        if (times > 0) std::fprintf(stderr, "load %.3f s\n", loadSeconds);
        if (args.contains(QStringLiteral("--warm-up"))) {
            const auto warmStarted = std::chrono::steady_clock::now();
            reader->warmUp();
            if (times > 0)
                std::fprintf(
                    stderr, "warm-up %.3f s\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - warmStarted)
                        .count());
        }
        for (int k = 0; k < std::max(1, times); ++k) {
            const auto codesStarted = std::chrono::steady_clock::now();
            const std::vector<CodeReader::Code> codes = CodeReader::read(image);
            const double codesSeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - codesStarted)
                    .count();
            OnnxTextReader::Timings spent;
            const std::vector<OnnxTextReader::Line> lines = reader->read(image, &spent);
            if (times > 0)
                std::fprintf(stderr,
                             "codes %.3f s, detection %.3f s, reader %.3f s (%d lines, %d "
                             "pieces, %d batches), second reader %.3f s (%d lines), total %.3f "
                             "s\n",
                             codesSeconds, spent.detection, spent.reading, spent.lines,
                             spent.pieces, spent.batches, spent.second, spent.readAgain,
                             spent.total);
            if (k > 0) continue;
            for (const auto& code : codes)
                std::printf("%s\t%s\n", qPrintable(code.format), qPrintable(code.text));
            for (const auto& line : lines)
                std::printf("%d,%d %dx%d %.3f\t%s\n", line.box.x(), line.box.y(), line.box.width(),
                            line.box.height(), line.confidence, qPrintable(line.text));
        }
        return 0;
    }

    // The worker is started ahead of its first request (when a capture begins): the models load
    // and warm up meanwhile, and codes, which need none of them, are answered at once. A return
    // below waits for the loading (a jthread).
    std::jthread loading([&] {
        reader = OnnxTextReader::load(modelDirectory(args), threads, &error);
        if (reader) reader->warmUp();
    });
    const auto loaded = [&loading] {
        if (loading.joinable()) loading.join();
    };
    for (;;) {
        const std::string request = requestLine();
        if (request.empty()) return 0;
        if (request == "languages") {
            loaded();
            reply(reader ? "languages zh-Hans zh-Hant en-US\n" : "error " + error.toUtf8() + "\n");
            continue;
        }
        const std::optional<OcrProtocol::ImageRequest> asked =
            OcrProtocol::parseImageRequest(QByteArray::fromStdString(request));
        if (!asked) {
            reply(QByteArray("error ") + QT_TRANSLATE_NOOP("OcrWorker", "请求无效") + "\n");
            return 1;
        }
        const int w = asked->width, h = asked->height;
        QImage image(w, h, QImage::Format_RGB32);
        if (image.isNull()) {
            reply(QByteArray("error ") + QT_TRANSLATE_NOOP("OcrWorker", "内存不足") + "\n");
            return 1;
        }
        for (int y = 0; y < h; ++y)
            if (!readExactly(0, reinterpret_cast<char*>(image.scanLine(y)), std::size_t(w) * 4))
                return 1;
        if (asked->verb == "codes") {
            reply(codesReply(CodeReader::read(image), image.size()));
            continue;
        }
        loaded();
        if (!reader) {
            reply("error " + error.toUtf8() + "\n");
            continue;
        }
        reply(linesReply(reader->read(image), image.size()));
    }
}
