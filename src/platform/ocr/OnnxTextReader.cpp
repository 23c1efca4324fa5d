#include "OnnxTextReader.h"

#include <onnxruntime_cxx_api.h>

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <numeric>
#include <thread>

#include "TraditionalReader.h"
#include "imaging/TextDetection.h"

namespace tessal {
namespace {

// Pieces read together. Each piece alone, at its own width: batches of several, padded to the
// widest, were slower per piece (a 1080p screen of 74 lines: batches of 8 took 1.6 times as long
// as single pieces, 16 twice) and the padding shifts what the reader sees.
constexpr std::size_t kBatch = 1;

// How sure the second reader must be of a character it adds where the first left ink unread
// (Tesseract's 0–100): a checkbox or an icon beside a label is read as some character too.
constexpr double kSureSecondGlyph = 80;

// Images up to this area are detected at their own scale (a 1080p screen is 2 million pixels).
constexpr qint64 kMostDetectedPixels = qint64(4096) * 4096 * 2;

// Runs job(0 … count − 1, thread) on `threads` threads, each taking the next job.
void inParallel(int threads, std::size_t count, const std::function<void(std::size_t, int)>& job) {
    std::atomic<std::size_t> next = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
            for (std::size_t i = next++; i < count; i = next++) job(i, t);
        });
    for (auto& worker : workers) worker.join();
}

}  // namespace

struct OnnxTextReader::Models {
    Ort::Env env{ORT_LOGGING_LEVEL_ERROR, "tessal-ocr"};
    std::unique_ptr<Ort::Session> detector;
    std::unique_ptr<Ort::Session> reader;
    QStringList keys;
    QSet<QString> known;  // the reader's characters
    int threads = 1;
    // One second reader per worker thread (a Tesseract instance serves one thread).
    std::vector<std::unique_ptr<TraditionalReader>> traditional;
    Ort::MemoryInfo memory = Ort::MemoryInfo::CreateCpu(OrtArenaAllocator, OrtMemTypeDefault);

    // Runs `session` on one float tensor; the first output and its shape.
    std::vector<float> run(Ort::Session& session, std::vector<float>& input,
                           const std::vector<int64_t>& shape, std::vector<int64_t>* outShape) {
        Ort::AllocatorWithDefaultOptions allocator;
        const auto inputName = session.GetInputNameAllocated(0, allocator);
        const auto outputName = session.GetOutputNameAllocated(0, allocator);
        Ort::Value tensor = Ort::Value::CreateTensor<float>(memory, input.data(), input.size(),
                                                            shape.data(), shape.size());
        const char* inputs[] = {inputName.get()};
        const char* outputs[] = {outputName.get()};
        std::vector<Ort::Value> result =
            session.Run(Ort::RunOptions{nullptr}, inputs, &tensor, 1, outputs, 1);
        const auto info = result[0].GetTensorTypeAndShapeInfo();
        *outShape = info.GetShape();
        const float* data = result[0].GetTensorData<float>();
        return std::vector<float>(data, data + info.GetElementCount());
    }
};

std::unique_ptr<OnnxTextReader> OnnxTextReader::load(const QString& directory, int threads,
                                                     QString* error) {
    auto models = std::make_unique<Models>();
    QFile dictionary(directory + QStringLiteral("/ppocr_keys_v1.txt"));
    if (!dictionary.open(QIODevice::ReadOnly)) {
        *error = QString::fromUtf8(QT_TRANSLATE_NOOP("OcrWorker", "缺少识别字典"));
        return nullptr;
    }
    for (const QByteArray& line : dictionary.readAll().split('\n'))
        if (!line.isEmpty()) models->keys << QString::fromUtf8(line);
    models->keys << QStringLiteral(" ");
    models->known = QSet<QString>(models->keys.begin(), models->keys.end());
    try {
        models->threads = std::max(1, threads);
        for (int i = 0; i < models->threads; ++i)
            models->traditional.push_back(std::make_unique<TraditionalReader>());
        // The detector is one large image: its work is split across the cores. The reader runs
        // small batches, one per core at the same time, which uses them better.
        Ort::SessionOptions options;
        options.SetIntraOpNumThreads(models->threads);
        options.SetInterOpNumThreads(1);
        options.SetGraphOptimizationLevel(GraphOptimizationLevel::ORT_ENABLE_ALL);
        Ort::SessionOptions single;
        single.SetIntraOpNumThreads(1);
        single.SetInterOpNumThreads(1);
        single.SetGraphOptimizationLevel(GraphOptimizationLevel::ORT_ENABLE_ALL);
        const QByteArray det =
            (directory + QStringLiteral("/ch_PP-OCRv4_det_infer.onnx")).toLocal8Bit();
        const QByteArray rec =
            (directory + QStringLiteral("/ch_PP-OCRv4_rec_infer.onnx")).toLocal8Bit();
        models->detector = std::make_unique<Ort::Session>(models->env, det.constData(), options);
        models->reader = std::make_unique<Ort::Session>(models->env, rec.constData(), single);
    } catch (const Ort::Exception& e) {
        *error = QString::fromUtf8(QT_TRANSLATE_NOOP("OcrWorker", "无法载入识别模型：%1"))
                     .arg(QString::fromUtf8(e.what()));
        return nullptr;
    }
    return std::unique_ptr<OnnxTextReader>(new OnnxTextReader(std::move(models)));
}

OnnxTextReader::OnnxTextReader(std::unique_ptr<Models> models) : models_(std::move(models)) {}

OnnxTextReader::~OnnxTextReader() = default;

void OnnxTextReader::warmUp() {
    // The first run of a session sizes its memory for the input: a screen's worth for the
    // detector, one short piece for the reader. Each thread's Tesseract loads its model.
    inParallel(models_->threads, std::size_t(models_->threads),
               [this](std::size_t, int t) { models_->traditional[std::size_t(t)]->prepare(); });
    try {
        std::vector<int64_t> shape;
        std::vector<float> screen(std::size_t(3) * 1088 * 1920, 0.0f);
        models_->run(*models_->detector, screen, {1, 3, 1088, 1920}, &shape);
        std::vector<float> piece(std::size_t(3) * 48 * 320, 0.0f);
        models_->run(*models_->reader, piece, {1, 3, 48, 320}, &shape);
    } catch (const Ort::Exception&) {
        // A request meets the same failure and reports it.
    }
}

std::vector<OnnxTextReader::Line> OnnxTextReader::read(const QImage& source, Timings* timings) {
    Timings spent;
    const auto started = std::chrono::steady_clock::now();
    auto since = [](std::chrono::steady_clock::time_point from) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
    };
    std::vector<Line> lines;
    if (source.isNull()) return lines;
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    // Plain margins (a page's sides, empty space below a list) hold no text: the detector,
    // whose cost grows with the area, sees only what lies between them, with a little room.
    const QRect content =
        TextDetection::contentRect(image).adjusted(-16, -16, 16, 16).intersected(image.rect());
    if (content.isEmpty()) return lines;
    // A wide image (one long line, a wide panorama) is detected in tiles at its own scale; only
    // one too large for that in time and memory is shrunk to the detector's input.
    std::vector<TextDetection::Span> tiles = TextDetection::detectionTiles(content.width());
    if (qint64(content.width()) * content.height() > kMostDetectedPixels)
        tiles = {{0, content.width()}};
    std::vector<std::vector<QRect>> detected;
    for (const TextDetection::Span& tile : tiles) {
        const QRect part(content.left() + tile.left, content.top(), tile.right - tile.left,
                         content.height());
        const QImage area = image.copy(part);
        TextDetection::Planes input = TextDetection::detectionInput(area);
        std::vector<int64_t> shape;
        const std::vector<float> map =
            models_->run(*models_->detector, input.data, {1, 3, input.height, input.width}, &shape);
        if (shape.size() != 4) return lines;
        detected.push_back(
            TextDetection::boxes(map.data(), int(shape[3]), int(shape[2]), area.size()));
        for (QRect& box : detected.back()) box.translate(part.topLeft());
    }
    std::vector<QRect> boxes = TextDetection::tidiedBoxes(
        detected.size() == 1 ? std::move(detected.front()) : TextDetection::unitedBoxes(detected),
        image);
    spent.detection = since(started);
    spent.lines = int(boxes.size());
    const auto readingStarted = std::chrono::steady_clock::now();

    // Lines too wide for the reader are read in pieces cut at blank columns; the widest pieces
    // are read first, so that the threads end together.
    struct Job {
        std::size_t line;
        TextDetection::Span span;
    };
    std::vector<QImage> crops(boxes.size());
    std::vector<std::vector<int>> ink(boxes.size());
    std::vector<std::vector<TextDetection::Span>> cuts(boxes.size());
    std::vector<Job> jobs;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        crops[i] = image.copy(boxes[i]);
        ink[i] = TextDetection::inkColumns(crops[i]);
        cuts[i] = TextDetection::spans(ink[i], boxes[i].height());
        for (const TextDetection::Span& span : cuts[i]) jobs.push_back({i, span});
    }
    std::sort(jobs.begin(), jobs.end(), [&](const Job& a, const Job& b) {
        return double(a.span.right - a.span.left) / boxes[a.line].height() >
               double(b.span.right - b.span.left) / boxes[b.line].height();
    });
    std::vector<std::vector<TextDetection::Glyph>> seen(jobs.size());
    std::vector<double> sure(jobs.size(), 0);
    const std::size_t batches = (jobs.size() + kBatch - 1) / kBatch;
    spent.pieces = int(jobs.size());
    spent.batches = int(batches);
    const auto parallel = [this](std::size_t count,
                                 const std::function<void(std::size_t, int)>& job) {
        inParallel(models_->threads, count, job);
    };
    parallel(batches, [&](std::size_t b, int) {
        const std::size_t first = b * kBatch;
        const std::size_t count = std::min(kBatch, jobs.size() - first);
        std::vector<QImage> pieces;
        for (std::size_t i = 0; i < count; ++i) {
            const Job& job = jobs[first + i];
            const QImage& crop = crops[job.line];
            pieces.push_back(
                crop.copy(job.span.left, 0, job.span.right - job.span.left, crop.height()));
        }
        TextDetection::Planes batch = TextDetection::readerInput(pieces);
        std::vector<int64_t> outShape;
        std::vector<float> probabilities;
        try {
            probabilities = models_->run(*models_->reader, batch.data,
                                         {int64_t(count), 3, batch.height, batch.width}, &outShape);
        } catch (const Ort::Exception&) {
            return;
        }
        if (outShape.size() != 3 || outShape[1] <= 0) return;
        const int steps = int(outShape[1]), classes = int(outShape[2]);
        for (std::size_t i = 0; i < count; ++i) {
            const Job& job = jobs[first + i];
            // Reader columns back to the line image's: the piece was scaled to readerWidth.
            const double back =
                double(pieces[i].width()) / TextDetection::readerWidth(pieces[i].size());
            seen[first + i] = TextDetection::glyphs(
                probabilities.data() + i * steps * classes, steps, classes, models_->keys,
                double(batch.width) / steps * back, &sure[first + i]);
            for (TextDetection::Glyph& g : seen[first + i]) g.x += job.span.left;
        }
    });
    // Each line's pieces, left to right, spelled with the spaces its image shows.
    std::vector<std::size_t> byPlace(jobs.size());
    std::iota(byPlace.begin(), byPlace.end(), 0);
    std::sort(byPlace.begin(), byPlace.end(), [&](std::size_t a, std::size_t b) {
        return std::pair(jobs[a].line, jobs[a].span.left) <
               std::pair(jobs[b].line, jobs[b].span.left);
    });
    lines.resize(boxes.size());
    std::vector<std::vector<TextDetection::Glyph>> found(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) lines[i] = {QString(), boxes[i], 1};
    for (std::size_t k : byPlace) {
        Line& line = lines[jobs[k].line];
        auto& all = found[jobs[k].line];
        all.insert(all.end(), seen[k].begin(), seen[k].end());
        if (!seen[k].empty()) line.confidence = std::min(line.confidence, sure[k]);
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        lines[i].text = TextDetection::spelled(found[i], ink[i], boxes[i].height(), cuts[i]);
        if (found[i].empty()) lines[i].confidence = 0;
    }
    // The second reader for lines among traditional text; stray traditional look-alikes in
    // simplified text put back in their simplified forms.
    const TraditionalReader& judge = *models_->traditional.front();
    std::vector<TextDetection::Leaning> leaning;
    std::vector<std::vector<TextDetection::Span>> unread(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        unread[i] = TextDetection::unreadInk(found[i], ink[i], boxes[i].height());
        const QList<uint> characters = lines[i].text.toUcs4();
        const bool chinese = std::any_of(characters.begin(), characters.end(), [](uint c) {
            return QChar::script(char32_t(c)) == QChar::Script_Han;
        });
        leaning.push_back({judge.traditionalOnly(lines[i].text),
                           judge.simplifiedOnly(lines[i].text), lines[i].confidence,
                           !unread[i].empty(), chinese});
    }
    const std::vector<TextDetection::ScriptChoice> choices = TextDetection::scriptChoices(leaning);
    std::vector<std::size_t> again;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (choices[i] == TextDetection::ScriptChoice::readAgain ||
            choices[i] == TextDetection::ScriptChoice::fillIn)
            again.push_back(i);
        if (choices[i] == TextDetection::ScriptChoice::simplify)
            lines[i].text = judge.simplifiedOf(lines[i].text);
    }
    spent.reading = since(readingStarted);
    spent.readAgain = int(again.size());
    const auto secondStarted = std::chrono::steady_clock::now();
    parallel(again.size(), [&](std::size_t k, int t) {
        TraditionalReader& reader = *models_->traditional[std::size_t(t)];
        const std::size_t i = again[k];
        Line& line = lines[i];
        if (choices[i] == TextDetection::ScriptChoice::fillIn) {
            found[i] = TextDetection::filledIn(
                std::move(found[i]), reader.readGlyphs(crops[i], kSureSecondGlyph), unread[i]);
            line.text = TextDetection::spelled(found[i], ink[i], boxes[i].height(), cuts[i]);
            return;
        }
        const std::optional<QString> second = reader.read(image.copy(line.box));
        line.text = TextDetection::merged(
            line.text, second.value_or(QString()),
            [&reader](const QString& c) { return reader.simplifiedOf(c); },
            [&reader](const QString& c) { return reader.traditionalOf(c); },
            [this](const QString& c) { return models_->known.contains(c); });
    });
    spent.second = since(secondStarted);
    std::vector<TextDetection::Piece> pieces;
    for (const Line& line : lines)
        if (!line.text.trimmed().isEmpty()) pieces.push_back({line.text, line.box});
    std::vector<Line> joined;
    for (TextDetection::Piece& row : TextDetection::joinRows(std::move(pieces)))
        joined.push_back({std::move(row.text), row.box, 0});
    spent.total = since(started);
    if (timings) *timings = spent;
    return joined;
}

}  // namespace tessal
