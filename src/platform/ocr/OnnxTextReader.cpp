#include "OnnxTextReader.h"

#include <onnxruntime_cxx_api.h>

#include <QFile>
#include <algorithm>
#include <numeric>

#include "imaging/TextDetection.h"

namespace tessal {
namespace {

// Lines read together; wider batches pad more.
constexpr std::size_t kBatch = 8;

}  // namespace

struct OnnxTextReader::Models {
    Ort::Env env{ORT_LOGGING_LEVEL_ERROR, "tessal-ocr"};
    std::unique_ptr<Ort::Session> detector;
    std::unique_ptr<Ort::Session> reader;
    QStringList keys;
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
        *error = QStringLiteral("缺少识别字典");
        return nullptr;
    }
    for (const QByteArray& line : dictionary.readAll().split('\n'))
        if (!line.isEmpty()) models->keys << QString::fromUtf8(line);
    models->keys << QStringLiteral(" ");
    try {
        Ort::SessionOptions options;
        options.SetIntraOpNumThreads(std::max(1, threads));
        options.SetInterOpNumThreads(1);
        options.SetGraphOptimizationLevel(GraphOptimizationLevel::ORT_ENABLE_ALL);
        const QByteArray det =
            (directory + QStringLiteral("/ch_PP-OCRv4_det_infer.onnx")).toLocal8Bit();
        const QByteArray rec =
            (directory + QStringLiteral("/ch_PP-OCRv4_rec_infer.onnx")).toLocal8Bit();
        models->detector = std::make_unique<Ort::Session>(models->env, det.constData(), options);
        models->reader = std::make_unique<Ort::Session>(models->env, rec.constData(), options);
    } catch (const Ort::Exception& e) {
        *error = QStringLiteral("无法载入识别模型：%1").arg(QString::fromUtf8(e.what()));
        return nullptr;
    }
    return std::unique_ptr<OnnxTextReader>(new OnnxTextReader(std::move(models)));
}

OnnxTextReader::OnnxTextReader(std::unique_ptr<Models> models) : models_(std::move(models)) {}

OnnxTextReader::~OnnxTextReader() = default;

std::vector<OnnxTextReader::Line> OnnxTextReader::read(const QImage& source) {
    std::vector<Line> lines;
    if (source.isNull()) return lines;
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    TextDetection::Planes input = TextDetection::detectionInput(image);
    std::vector<int64_t> shape;
    const std::vector<float> map =
        models_->run(*models_->detector, input.data, {1, 3, input.height, input.width}, &shape);
    if (shape.size() != 4) return lines;
    const std::vector<QRect> boxes =
        TextDetection::boxes(map.data(), int(shape[3]), int(shape[2]), image.size());

    // Read the lines in batches of similar shape, so little of each batch is padding.
    std::vector<std::size_t> order(boxes.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return double(boxes[a].width()) / boxes[a].height() <
               double(boxes[b].width()) / boxes[b].height();
    });
    lines.resize(boxes.size());
    for (std::size_t first = 0; first < order.size(); first += kBatch) {
        const std::size_t count = std::min(kBatch, order.size() - first);
        std::vector<QImage> crops;
        for (std::size_t i = 0; i < count; ++i)
            crops.push_back(image.copy(boxes[order[first + i]]));
        TextDetection::Planes batch = TextDetection::readerInput(crops);
        std::vector<int64_t> outShape;
        const std::vector<float> probabilities =
            models_->run(*models_->reader, batch.data,
                         {int64_t(count), 3, batch.height, batch.width}, &outShape);
        if (outShape.size() != 3) continue;
        const int steps = int(outShape[1]), classes = int(outShape[2]);
        for (std::size_t i = 0; i < count; ++i) {
            Line& line = lines[order[first + i]];
            line.box = boxes[order[first + i]];
            line.text = TextDetection::decode(probabilities.data() + i * steps * classes, steps,
                                              classes, models_->keys, &line.confidence);
        }
    }
    std::vector<TextDetection::Piece> pieces;
    for (const Line& line : lines)
        if (!line.text.trimmed().isEmpty()) pieces.push_back({line.text, line.box});
    std::vector<Line> joined;
    for (TextDetection::Piece& row : TextDetection::joinRows(std::move(pieces)))
        joined.push_back({std::move(row.text), row.box, 0});
    return joined;
}

}  // namespace tessal
