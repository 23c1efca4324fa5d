#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

#include "base/UserError.h"

namespace tessal {

// One line a recogniser found: its text and its box, normalised to the image with the origin
// at the bottom left.
struct RecognizedLine {
    QString text;
    QRectF box;
    // A QR code or barcode: its format as the decoder names it ("QRCode", "EAN-13", …); empty
    // for text.
    QString code{};
    // A code holding binary data rather than text: its size in bytes (the text is empty); else −1.
    int binaryBytes = -1;
};

// What a cancelled request fails with.
inline UserError recognitionCancelled() {
    return {QStringLiteral("Ostrel"), 22, QCoreApplication::translate("TextRecognizer", "已取消")};
}

// Text recognition on the machine itself. Each request names its caller's cancel flag (or
// none), so that one caller can stop its own work without ending another's.
class TextRecognizer {
  public:
    virtual ~TextRecognizer() = default;
    // The languages it reads ("zh-Hans", "zh-Hant", "en-US", …); fails when it cannot run.
    virtual Result<QStringList> supportedLanguages(const std::atomic<bool>* cancelled) = 0;
    // The lines of one image, in the given languages. Blocks; any thread. Fails with code 22
    // when `cancelled` is set before or while it runs.
    virtual Result<std::vector<RecognizedLine>> recognize(const QImage& image,
                                                          const QStringList& languages,
                                                          const std::atomic<bool>* cancelled) = 0;
    // The QR codes and barcodes in one image (lines with `code` set), top to bottom. Blocks; any
    // thread; fails with code 22 when cancelled.
    virtual Result<std::vector<RecognizedLine>> codes(const QImage& image,
                                                      const std::atomic<bool>* cancelled) {
        (void)image;
        (void)cancelled;
        return std::vector<RecognizedLine>{};
    }
    // Ends at once (from any thread) the request made with `cancelled`, which the caller has
    // set; a request of another caller goes on.
    virtual void cancel(const std::atomic<bool>* cancelled) { (void)cancelled; }
};

}  // namespace tessal
