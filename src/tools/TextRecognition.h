#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <atomic>

#include "base/UserError.h"

namespace tessal {

class TextRecognizer;

// The text of an image, band by band top to bottom, each band's lines in the recogniser's reading
// order (side by side columns one after the other). Tall images are read in bands of 1800 rows,
// each read with 64 rows more above and below; a line belongs to the band that holds its middle
// row, so lines in the overlaps are reported once.
namespace TextRecognition {
inline constexpr int bandStep = 1800;
inline constexpr int bandOverlap = 64;
// In the order they are asked for, of those the recogniser supports.
inline const QStringList preferredLanguages = {QStringLiteral("zh-Hans"), QStringLiteral("zh-Hant"),
                                               QStringLiteral("en-US")};
// Lines joined by "\n"; fails with the recogniser's error, or when `cancelled` is set before a
// band (UserError code 22).
// `wanted` narrows the languages asked for (empty: every preferred one).
Result<QString> recognize(const QImage& image, TextRecognizer& recognizer,
                          const std::atomic<bool>* cancelled = nullptr,
                          const QStringList& wanted = {});
}  // namespace TextRecognition

}  // namespace tessal
