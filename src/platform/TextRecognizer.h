#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

#include "base/UserError.h"

namespace tessal {

// One line a recogniser found: its text and its box, normalised to the image with the origin
// at the bottom left.
struct RecognizedLine {
    QString text;
    QRectF box;
};

// Text recognition on the machine itself.
class TextRecognizer {
  public:
    virtual ~TextRecognizer() = default;
    // The languages it reads ("zh-Hans", "zh-Hant", "en-US", …); fails when it cannot run.
    virtual Result<QStringList> supportedLanguages() = 0;
    // The lines of one image, in the given languages. Blocks; any thread.
    virtual Result<std::vector<RecognizedLine>> recognize(const QImage& image,
                                                          const QStringList& languages) = 0;
    // Ends the work in progress at once (from any thread); its recognize fails.
    virtual void cancel() {}
};

}  // namespace tessal
