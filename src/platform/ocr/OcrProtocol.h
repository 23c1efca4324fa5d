#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

#include "platform/TextRecognizer.h"

namespace tessal {

// What the recognition worker and its client say to each other, one line each way:
//   "languages\n"                        → "languages zh-Hans zh-Hant en-US\n"
//   "recognize W H\n" + W×H×4 bytes (32-bit 0xffRRGGBB pixels, rows packed)
//                                        → "lines N\n" + N × "x y w h\ttext\n"
//   "codes W H\n" + the same pixels       → "lines N\n" + N × "x y w h FORMAT\ttext\n", or
//                                          "x y w h FORMAT BYTES\t\n" for binary content
// or "error REASON\n". Boxes are normalised to the image, with the origin at the bottom left.
namespace OcrProtocol {

// A reply line longer than this, or more lines than this, is not a reply of ours.
inline constexpr qsizetype maximumLineBytes = 64 * 1024;
inline constexpr int maximumLines = 100'000;

// The largest image a request carries, in pixels (a gigabyte of pixels).
inline constexpr qint64 maximumPixels = qint64(1) << 28;

// A request for one image: its verb ("recognize", "codes") and size.
struct ImageRequest {
    QByteArray verb;
    int width = 0;
    int height = 0;
};
// A request line (without its line break) read back; none when it is not an image request, or
// its image is empty or larger than `maximumPixels`.
std::optional<ImageRequest> parseImageRequest(const QByteArray& line);

// One found line (`box` in the pixels of an image of `size`, y down) as a reply line, without
// its line break; tabs and line breaks in the text become spaces.
QByteArray lineReply(const QRect& box, QSize size, QString text);
// One code (`format` letters, digits and "-" only; `binaryBytes` ≥ 0 for binary content, whose
// text is not sent) as a reply line.
QByteArray codeReply(const QRect& box, QSize size, const QString& format, const QString& text,
                     int binaryBytes = -1);
// A reply line read back; none when it is not one.
std::optional<RecognizedLine> parseLine(const QByteArray& line);

}  // namespace OcrProtocol
}  // namespace tessal
