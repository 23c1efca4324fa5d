#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

namespace tessal {

// QR codes and barcodes in a picture (ZXing), for the recognition worker.
namespace CodeReader {

struct Code {
    QString format;        // as ZXing names it: "QRCode", "EAN-13", "DataMatrix", …
    QString text;          // what it says; empty when it holds binary data
    int binaryBytes = -1;  // the size of binary data, −1 for text
    QRect box;             // in the image's pixels
};

// At most this many codes, each text cut to this many characters (with "…" after): a picture of
// codes costs bounded time, memory and reply size.
inline constexpr int maximumCodes = 64;
inline constexpr int maximumText = 4000;
// Larger images are scaled down to this area first.
inline constexpr qint64 maximumPixels = qint64(1) << 24;

// The codes of `image`, top to bottom, then left to right. A code's content counts as binary
// when its decoder says so or when it holds control characters or bytes that are not UTF-8 text.
std::vector<Code> read(const QImage& image);

}  // namespace CodeReader
}  // namespace tessal
