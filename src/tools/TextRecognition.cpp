#include "TextRecognition.h"

#include <algorithm>

#include "platform/TextRecognizer.h"

namespace tessal::TextRecognition {

Result<QString> recognize(const QImage& image, TextRecognizer& recognizer,
                          const std::atomic<bool>* cancelled, const QStringList& wanted) {
    QStringList text;
    const int height = image.isNull() ? 0 : image.height();
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
