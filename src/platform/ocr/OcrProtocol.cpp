#include "OcrProtocol.h"

#include <QList>
#include <cmath>

namespace tessal::OcrProtocol {

QByteArray lineReply(const QRect& box, QSize size, QString text) {
    const double w = size.width(), h = size.height();
    text.replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\t'), QLatin1Char(' '));
    return QByteArray::number(box.x() / w, 'g', 9) + ' ' +
           QByteArray::number(1.0 - (box.y() + box.height()) / h, 'g', 9) + ' ' +
           QByteArray::number(box.width() / w, 'g', 9) + ' ' +
           QByteArray::number(box.height() / h, 'g', 9) + '\t' + text.toUtf8();
}

std::optional<RecognizedLine> parseLine(const QByteArray& line) {
    const qsizetype tab = line.indexOf('\t');
    if (tab < 0) return std::nullopt;
    const QList<QByteArray> numbers = line.left(tab).split(' ');
    if (numbers.size() != 4) return std::nullopt;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = numbers[i].toDouble(&ok);
        if (!ok || !std::isfinite(v[i])) return std::nullopt;
    }
    return RecognizedLine{QString::fromUtf8(line.mid(tab + 1)), QRectF(v[0], v[1], v[2], v[3])};
}

}  // namespace tessal::OcrProtocol
