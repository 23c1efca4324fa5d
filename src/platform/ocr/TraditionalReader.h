#pragma once

#include <QImage>
#include <QString>
#include <memory>
#include <optional>

namespace tessal {

// The second reader for traditional Chinese: the detector's reader knows too few traditional
// characters (it turns many into simplified look-alikes), so a line whose own reading already
// holds traditional characters (OpenCC tells) is read again with Tesseract's chi_tra model.
class TraditionalReader {
  public:
    TraditionalReader();
    ~TraditionalReader();

    // The line holds characters that only traditional Chinese writes.
    bool isTraditional(const QString& line) const;
    // A traditional line the first reading may have got wrong: it also holds characters that
    // only simplified Chinese writes (look-alikes the first reader fell back on), or its least
    // certain character is below `certain`.
    bool doubtful(const QString& line, double leastConfidence, double certain = 0.9) const;
    // The text of one line image; none when the model is missing or finds nothing.
    std::optional<QString> read(const QImage& line);

  private:
    struct Engines;
    std::unique_ptr<Engines> engines_;
};

}  // namespace tessal
