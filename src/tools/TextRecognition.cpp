#include "TextRecognition.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

#include "platform/TextRecognizer.h"

namespace tessal::TextRecognition {
namespace {

// What a code is called, from the decoder's name of its format.
QString kind(const QString& format) {
    if (format.contains(QLatin1String("QR"), Qt::CaseInsensitive))
        return QCoreApplication::translate("TextRecognition", "二维码");
    static const QStringList matrix = {QStringLiteral("DataMatrix"), QStringLiteral("Aztec"),
                                       QStringLiteral("PDF417"), QStringLiteral("MaxiCode")};
    if (matrix.contains(format))
        return QCoreApplication::translate("TextRecognition", "%1 码").arg(format);
    return QCoreApplication::translate("TextRecognition", "条形码（%1）").arg(format);
}

// Codes are looked for in the whole image at once: a band could cut one in two.
QImage codeImage(const QImage& image) {
    const qint64 area = qint64(image.width()) * image.height();
    if (area <= maximumCodeImagePixels) return image;
    const double scale = std::sqrt(double(maximumCodeImagePixels) / double(area));
    return image.scaled(std::max(1, int(image.width() * scale)),
                        std::max(1, int(image.height() * scale)), Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
}

}  // namespace

QString codeLine(const RecognizedLine& code) {
    if (code.binaryBytes >= 0)
        return QCoreApplication::translate("TextRecognition", "%1：二进制数据（%n 字节）", nullptr,
                                           code.binaryBytes)
            .arg(kind(code.code));
    QString text = code.text.simplified();
    if (text.size() > maximumCodeText) text = text.left(maximumCodeText) + QChar(0x2026);
    return QCoreApplication::translate("TextRecognition", "%1：%2", "a code's kind, what it says")
        .arg(kind(code.code), text);
}

Result<QString> recognize(const QImage& image, TextRecognizer& recognizer,
                          const std::atomic<bool>* cancelled, const QStringList& wanted) {
    QStringList text;
    const int height = image.isNull() ? 0 : image.height();
    if (height > 0) {
        if (cancelled && *cancelled) return recognitionCancelled();
        Result<std::vector<RecognizedLine>> codes = recognizer.codes(codeImage(image), cancelled);
        if (!codes) return codes.error();
        for (const RecognizedLine& code : codes.value()) text << codeLine(code);
    }
    for (int y = 0; y < height; y += bandStep) {
        if (cancelled && *cancelled) return recognitionCancelled();
        const int top = std::max(y - bandOverlap, 0);
        const int bottom = std::min(y + bandStep + bandOverlap, height);
        const QImage tile = image.copy(0, top, image.width(), bottom - top);
        if (tile.isNull()) continue;
        const Result<QStringList> supported = recognizer.supportedLanguages(cancelled);
        if (!supported) return supported.error();
        QStringList languages;
        for (const QString& language : preferredLanguages)
            if (supported.value().contains(language) &&
                (wanted.isEmpty() || wanted.contains(language)))
                languages << language;
        Result<std::vector<RecognizedLine>> found =
            recognizer.recognize(tile, languages, cancelled);
        if (!found) return found.error();
        const int owned = std::min(y + bandStep, height);
        for (const RecognizedLine& line : found.value()) {
            const double middle = (1.0 - line.box.center().y()) * tile.height() + top;
            if (middle >= y && middle < owned) text << line.text;
        }
    }
    return text.join(QLatin1Char('\n'));
}

}  // namespace tessal::TextRecognition
