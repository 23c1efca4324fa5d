#include "CodeReader.h"

#include <ZXing/ReadBarcode.h>

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tessal::CodeReader {
namespace {

bool printable(const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\t' || u == u'\n' || u == u'\r') continue;
        if (u < 0x20 || (u >= 0x7f && u < 0xa0) || u == 0xfffd) return false;
    }
    return true;
}

// The whole bars of a linear code read along `found` (a few rows or columns across its bars):
// grown along the bars while each further row (column) shows the same dark and light pattern.
QRect barsAround(const QImage& image, const QRect& found) {
    const bool upright = found.width() >= found.height();
    const int length = upright ? found.width() : found.height();
    auto dark = [&](int along, int across) {
        const int x = upright ? found.left() + along : across;
        const int y = upright ? across : found.top() + along;
        return image.constScanLine(y)[x] < 128;
    };
    const int middle = upright ? found.center().y() : found.center().x();
    auto same = [&](int across) {
        int equal = 0;
        for (int i = 0; i < length; ++i) equal += dark(i, across) == dark(i, middle);
        return equal * 10 >= length * 9;
    };
    const int last = (upright ? image.height() : image.width()) - 1;
    int low = upright ? found.top() : found.left();
    int high = upright ? found.bottom() : found.right();
    while (low > 0 && same(low - 1)) --low;
    while (high < last && same(high + 1)) ++high;
    const QRect bars = upright ? QRect(found.left(), low, found.width(), high - low + 1)
                               : QRect(low, found.top(), high - low + 1, found.height());
    return bars.adjusted(-2, -2, 2, 2).intersected(image.rect());
}

}  // namespace

std::vector<Code> read(const QImage& source) {
    std::vector<Code> codes;
    if (source.isNull() || source.width() < 2 || source.height() < 2) return codes;
    QImage image = source.convertToFormat(QImage::Format_Grayscale8);
    double scale = 1;
    const qint64 area = qint64(image.width()) * image.height();
    if (area > maximumPixels) {
        scale = std::sqrt(double(maximumPixels) / double(area));
        image = image.scaled(std::max(2, int(image.width() * scale)),
                             std::max(2, int(image.height() * scale)), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
        if (image.isNull()) return codes;
        scale = double(image.width()) / source.width();
    }
    auto boxOf = [&](const ZXing::Result& found) {
        int left = image.width(), top = image.height(), right = 0, bottom = 0;
        for (const auto& p : found.position()) {
            left = std::min(left, p.x);
            top = std::min(top, p.y);
            right = std::max(right, p.x);
            bottom = std::max(bottom, p.y);
        }
        return QRect(
            QPoint(std::max(0, left), std::max(0, top)),
            QPoint(std::min(right, image.width() - 1), std::min(bottom, image.height() - 1)));
    };
    auto add = [&](const ZXing::Result& found, const QRect& box) {
        Code code;
        code.format = QString::fromLatin1(ZXing::ToString(found.format()));
        const std::string utf8 = found.text();
        code.text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        if (found.contentType() == ZXing::ContentType::Binary || !printable(code.text)) {
            code.text.clear();
            code.binaryBytes = int(found.bytes().size());
        } else if (code.text.size() > maximumText) {
            code.text = code.text.left(maximumText) + QChar(0x2026);
        }
        code.box =
            QRectF(box.x() / scale, box.y() / scale, box.width() / scale, box.height() / scale)
                .toAlignedRect()
                .intersected(source.rect());
        codes.push_back(std::move(code));
    };

    ZXing::DecodeHints hints;
    hints.setTryHarder(true).setTryRotate(true).setTryDownscale(true);
    hints.setFormats(ZXing::BarcodeFormat::MatrixCodes).setMaxNumberOfSymbols(maximumCodes);
    const ZXing::ImageView view(image.constBits(), image.width(), image.height(),
                                ZXing::ImageFormat::Lum, int(image.bytesPerLine()));
    for (const ZXing::Result& found : ZXing::ReadBarcodes(view, hints))
        if (found.isValid() && int(codes.size()) < maximumCodes) add(found, boxOf(found));

    // Linear codes one at a time, each blanked once read (its bars whole, so that the rest of it
    // is not read again): ZXing 1.4 aborts on an assertion when one pass finds two equal linear
    // codes.
    hints.setFormats(ZXing::BarcodeFormat::LinearCodes).setMaxNumberOfSymbols(1);
    hints.setTryDownscale(false);
    std::vector<QRect> blanked;
    for (int attempt = 0; attempt < 2 * maximumCodes && int(codes.size()) < maximumCodes;
         ++attempt) {
        const ZXing::ImageView linear(image.constBits(), image.width(), image.height(),
                                      ZXing::ImageFormat::Lum, int(image.bytesPerLine()));
        const ZXing::Result found = ZXing::ReadBarcode(linear, hints);
        if (!found.isValid()) break;
        const QRect box = boxOf(found);
        const QRect bars = barsAround(image, box);
        const bool again = std::any_of(blanked.begin(), blanked.end(),
                                       [&](const QRect& r) { return r.intersects(box); });
        if (!again) add(found, bars);
        blanked.push_back(bars);
        QPainter(&image).fillRect(bars, Qt::white);
    }
    std::stable_sort(codes.begin(), codes.end(), [](const Code& a, const Code& b) {
        return std::pair(a.box.center().y(), a.box.x()) < std::pair(b.box.center().y(), b.box.x());
    });
    return codes;
}

}  // namespace tessal::CodeReader
