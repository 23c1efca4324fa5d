#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <atomic>

#include "base/UserError.h"

namespace tessal {

class TextRecognizer;
struct RecognizedLine;

// What the QR codes and barcodes of an image say, one line each, then its text band by band
// top to bottom, each band's lines in the recogniser's reading
// order (side by side columns one after the other). Tall images are read in bands of 1800 rows,
// each read with 64 rows more above and below; a line belongs to the band that holds its middle
// row, so lines in the overlaps are reported once.
namespace TextRecognition {
inline constexpr int bandStep = 1800;
inline constexpr int bandOverlap = 64;
// In the order they are asked for, of those the recogniser supports.
inline const QStringList preferredLanguages = {QStringLiteral("zh-Hans"), QStringLiteral("zh-Hant"),
                                               QStringLiteral("en-US")};
// At most this many characters of one code are shown, with "…" after.
inline constexpr int maximumCodeText = 2000;
// Codes are looked for in the whole image, scaled down to at most this many pixels.
inline constexpr qint64 maximumCodeImagePixels = qint64(1) << 24;
// Lines joined by "\n"; fails with the recogniser's error, or when `cancelled` is set before a
// band (UserError code 22).
// `wanted` narrows the languages asked for (empty: every preferred one).
Result<QString> recognize(const QImage& image, TextRecognizer& recognizer,
                          const std::atomic<bool>* cancelled = nullptr,
                          const QStringList& wanted = {});
// One code as the line that lists it: its kind (二维码, 条形码 with its format, …) and what it
// says on one line, or a short note for binary content. Never opened or followed.
QString codeLine(const RecognizedLine& code);
}  // namespace TextRecognition

}  // namespace tessal
