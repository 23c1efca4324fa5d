#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace tessal {

// The PP-OCRv4 detector and reader on ONNX Runtime: lines of text with their boxes (pixels).
class OnnxTextReader {
  public:
    struct Line {
        QString text;
        QRect box;
        double confidence = 0;
    };

    // Loads the two models and the dictionary from `directory`; null with `error` set when
    // something is missing or unreadable.
    static std::unique_ptr<OnnxTextReader> load(const QString& directory, int threads,
                                                QString* error);
    ~OnnxTextReader();

    // Where one reading's time went (seconds of wall time) and how much work each stage had.
    struct Timings {
        double detection = 0;
        double reading = 0;
        double second = 0;
        double total = 0;
        int lines = 0;
        int pieces = 0;
        int batches = 0;
        int readAgain = 0;
    };

    std::vector<Line> read(const QImage& image, Timings* timings = nullptr);
    // Runs the models once on blank input, so that the first real request costs what later ones
    // do (measured: without it the first 1080p screen took 2 to 5 seconds longer).
    void warmUp();

  private:
    struct Models;
    explicit OnnxTextReader(std::unique_ptr<Models> models);
    std::unique_ptr<Models> models_;
};

}  // namespace tessal
