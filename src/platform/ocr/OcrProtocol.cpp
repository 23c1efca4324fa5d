#include "OcrProtocol.h"

#include <QList>
#include <algorithm>
#include <cmath>

namespace tessal::OcrProtocol {
namespace {

QByteArray boxFields(const QRect& box, QSize size) {
    const double w = size.width(), h = size.height();
    return QByteArray::number(box.x() / w, 'g', 9) + ' ' +
           QByteArray::number(1.0 - (box.y() + box.height()) / h, 'g', 9) + ' ' +
           QByteArray::number(box.width() / w, 'g', 9) + ' ' +
           QByteArray::number(box.height() / h, 'g', 9);
}

QByteArray oneLine(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text.toUtf8();
}

bool isFormat(const QByteArray& name) {
    return !name.isEmpty() && name.size() <= 32 &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-';
           });
}

}  // namespace

QByteArray lineReply(const QRect& box, QSize size, QString text) {
    return boxFields(box, size) + '\t' + oneLine(std::move(text));
}

QByteArray codeReply(const QRect& box, QSize size, const QString& format, const QString& text,
                     int binaryBytes) {
    QByteArray name = format.toLatin1();
    if (!isFormat(name)) name = "Unknown";
    if (binaryBytes >= 0)
        return boxFields(box, size) + ' ' + name + ' ' + QByteArray::number(binaryBytes) + '\t';
    return boxFields(box, size) + ' ' + name + '\t' + oneLine(text);
}

std::optional<RecognizedLine> parseLine(const QByteArray& line) {
    const qsizetype tab = line.indexOf('\t');
    if (tab < 0) return std::nullopt;
    const QList<QByteArray> fields = line.left(tab).split(' ');
    if (fields.size() < 4 || fields.size() > 6) return std::nullopt;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = fields[i].toDouble(&ok);
        if (!ok || !std::isfinite(v[i])) return std::nullopt;
    }
    RecognizedLine found{QString::fromUtf8(line.mid(tab + 1)), QRectF(v[0], v[1], v[2], v[3])};
    if (fields.size() >= 5) {
        if (!isFormat(fields[4])) return std::nullopt;
        found.code = QString::fromLatin1(fields[4]);
    }
    if (fields.size() == 6) {
        bool ok = false;
        found.binaryBytes = fields[5].toInt(&ok);
        if (!ok || found.binaryBytes < 0 || tab + 1 != line.size()) return std::nullopt;
    }
    return found;
}

std::optional<ImageRequest> parseImageRequest(const QByteArray& line) {
    const QList<QByteArray> words = line.split(' ');
    if (words.size() != 3 || (words[0] != "recognize" && words[0] != "codes")) return std::nullopt;
    bool wide = false, high = false;
    const int width = words[1].toInt(&wide), height = words[2].toInt(&high);
    if (!wide || !high || width <= 0 || height <= 0 || qint64(width) * height > maximumPixels)
        return std::nullopt;
    return ImageRequest{words[0], width, height};
}

}  // namespace tessal::OcrProtocol
