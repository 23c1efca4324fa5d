#pragma once

#include <QImage>
#include <QString>
#include <memory>
#include <optional>

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

  private:
    struct Engines;
    std::unique_ptr<Engines> engines_;
};

}  // namespace tessal
