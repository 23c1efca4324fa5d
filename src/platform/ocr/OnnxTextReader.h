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

    std::vector<Line> read(const QImage& image);

  private:
    struct Models;
    explicit OnnxTextReader(std::unique_ptr<Models> models);
    std::unique_ptr<Models> models_;
};

}  // namespace tessal
