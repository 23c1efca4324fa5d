#pragma once

#include <QImage>
#include <QPainter>
#include <QString>

namespace tessal::testing {

// A page of numbered lines like a terminal's: line i reads "i+100 i+100 i+107 … i+240" in a
// 3 × 5 digit font of `cell`-pixel squares drawn one by one (the same pixels on every machine).
// Lines differ in a digit or two, so parts of the page far apart look alike unless every pixel
// is read.
inline QImage numberedLines(int width, int lines, int lineHeight, int cell) {
    static const char* const digits[10] = {"111101101101111", "010110010010111", "111001111100111",
                                           "111001111001111", "101101111001001", "111100111001111",
                                           "111100111101111", "111001001001001", "111101111101111",
                                           "111101111001111"};
    QImage image(width, lines * lineHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int i = 0; i < lines; ++i) {
        QString text = QString::number(i + 100);
        for (int k = i; k <= i + 140; k += 7) text += QStringLiteral(" %1").arg(k + 100);
        int x = 4;
        for (const QChar c : text) {
            if (c.isDigit())
                for (int r = 0; r < 5; ++r)
                    for (int column = 0; column < 3; ++column)
                        if (digits[c.digitValue()][r * 3 + column] == '1')
                            p.fillRect(x + column * cell, i * lineHeight + 3 + r * cell, cell, cell,
                                       QColor(32, 32, 32));
            x += 4 * cell;
        }
    }
    return image;
}

}  // namespace tessal::testing
