#pragma once

#include <QImage>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "imaging/TextDetection.h"

namespace tessal {

// The second reader for traditional Chinese: the detector's reader knows too few traditional
// characters (it turns many into simplified look-alikes), so lines among traditional text are
// read again with Tesseract's chi_tra model; OpenCC tells the scripts apart.
class TraditionalReader {
  public:
    TraditionalReader();
    ~TraditionalReader();

    // How many characters of `line` only traditional Chinese writes, and how many only
    // simplified Chinese writes.
    int traditionalOnly(const QString& line) const;
    int simplifiedOnly(const QString& line) const;
    // Each character of `line` in its simplified (traditional) form; others as they are.
    QString simplifiedOf(const QString& line) const;
    QString traditionalOf(const QString& line) const;
    // Loads the model (else the first `read` does); false when it is missing.
    bool prepare();
    // The text of one line image; none when the model is missing or finds nothing.
    std::optional<QString> read(const QImage& line);
    // The characters of one line image it is at least `leastConfidence` (0–100) sure of, each
    // at the middle of its box in the line's columns.
    std::vector<TextDetection::Glyph> readGlyphs(const QImage& line, double leastConfidence);

  private:
    // Gives the engine `line` to read; false when the model is missing.
    bool take(const QImage& line);
    struct Engines;
    std::unique_ptr<Engines> engines_;
};

}  // namespace tessal
