#include "TraditionalReader.h"

#include <opencc.h>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>
#ifdef _OPENMP
#include <omp.h>
#endif

#include "imaging/TextDetection.h"

#include <algorithm>

namespace tessal {
namespace {

bool isCjk(QChar c) {
    const ushort u = c.unicode();
    return (u >= 0x3400 && u <= 0x9fff) || (u >= 0xf900 && u <= 0xfaff);
}

// Tesseract writes ASCII punctuation inside Chinese text; Chinese text uses the full forms,
// and no spaces between its characters.
QString chinesePunctuation(QString text) {
    static const std::pair<QChar, QChar> forms[] = {
        {',', QChar(0xff0c)}, {'!', QChar(0xff01)}, {'?', QChar(0xff1f)}, {';', QChar(0xff1b)},
        {':', QChar(0xff1a)}, {'(', QChar(0xff08)}, {')', QChar(0xff09)}};
    for (const auto& [ascii, full] : forms) text.replace(ascii, full);
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == ' ' && i > 0 && i + 1 < text.size() && !text[i - 1].isLetterOrNumber() &&
            !text[i + 1].isLetterOrNumber())
            continue;
        if (text[i] == ' ' && i > 0 && i + 1 < text.size() &&
            (isCjk(text[i - 1]) || isCjk(text[i + 1])))
            continue;
        out += text[i];
    }
    return out.trimmed();
}

}  // namespace

struct TraditionalReader::Engines {
    opencc_t toSimplified = reinterpret_cast<opencc_t>(-1);
    opencc_t toTraditional = reinterpret_cast<opencc_t>(-1);
    std::unique_ptr<tesseract::TessBaseAPI> tesseract;
    bool tesseractTried = false;
    ~Engines() {
        if (toSimplified != reinterpret_cast<opencc_t>(-1)) opencc_close(toSimplified);
        if (toTraditional != reinterpret_cast<opencc_t>(-1)) opencc_close(toTraditional);
        if (tesseract) tesseract->End();
    }
};

TraditionalReader::TraditionalReader() : engines_(std::make_unique<Engines>()) {
    engines_->toSimplified = opencc_open("t2s.json");
    engines_->toTraditional = opencc_open("s2t.json");
}

namespace {

// Each CJK character of `line` as the converter gives it, one by one; how many it changed.
QString converted(opencc_t converter, const QString& line, int* changed) {
    *changed = 0;
    if (converter == reinterpret_cast<opencc_t>(-1)) return line;
    QString out;
    for (QChar c : line) {
        if (!isCjk(c)) {
            out += c;
            continue;
        }
        const QByteArray one = QString(c).toUtf8();
        char* result = opencc_convert_utf8(converter, one.constData(), std::size_t(one.size()));
        const QString form = result ? QString::fromUtf8(result) : QString(c);
        if (result) opencc_convert_utf8_free(result);
        *changed += form != QString(c);
        out += form;
    }
    return out;
}

}  // namespace

TraditionalReader::~TraditionalReader() = default;

int TraditionalReader::traditionalOnly(const QString& line) const {
    int changed = 0;
    converted(engines_->toSimplified, line, &changed);
    return changed;
}

int TraditionalReader::simplifiedOnly(const QString& line) const {
    int changed = 0;
    converted(engines_->toTraditional, line, &changed);
    return changed;
}

QString TraditionalReader::simplifiedOf(const QString& line) const {
    int changed = 0;
    return converted(engines_->toSimplified, line, &changed);
}

QString TraditionalReader::traditionalOf(const QString& line) const {
    int changed = 0;
    return converted(engines_->toTraditional, line, &changed);
}

bool TraditionalReader::prepare() {
    if (!engines_->tesseractTried) {
        engines_->tesseractTried = true;
        auto api = std::make_unique<tesseract::TessBaseAPI>();
        if (api->Init(nullptr, "chi_tra", tesseract::OEM_LSTM_ONLY) == 0) {
            api->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
            api->SetVariable("debug_file", "/dev/null");
            // Screen text is never printed inverted: skip the second, inverted pass.
            api->SetVariable("tessedit_do_invert", "0");
            engines_->tesseract = std::move(api);
        }
    }
    return engines_->tesseract != nullptr;
}

bool TraditionalReader::take(const QImage& line) {
    if (!prepare() || line.isNull()) return false;
#ifdef _OPENMP
    // Tesseract splits each line among OpenMP threads that spin while they wait; lines are
    // already read one per core, so its teams only fight ours for the cores (four times slower
    // on two cores). No parallel region in this thread runs more than one thread.
    omp_set_max_active_levels(0);
#endif
    const QImage padded = TextDetection::secondReaderInput(line);
    if (padded.isNull()) return false;
    engines_->tesseract->SetImage(padded.constBits(), padded.width(), padded.height(), 1,
                                  int(padded.bytesPerLine()));
    return true;
}

std::vector<TextDetection::Glyph> TraditionalReader::readGlyphs(const QImage& line,
                                                                double leastConfidence) {
    std::vector<TextDetection::Glyph> glyphs;
    if (!take(line) || engines_->tesseract->Recognize(nullptr) != 0) return glyphs;
    const std::unique_ptr<tesseract::ResultIterator> it(engines_->tesseract->GetIterator());
    if (!it || it->Empty(tesseract::RIL_SYMBOL)) return glyphs;
    const int margin = TextDetection::secondReaderMargin(line.height());
    do {
        const std::unique_ptr<char[]> symbol(it->GetUTF8Text(tesseract::RIL_SYMBOL));
        int left = 0, top = 0, right = 0, bottom = 0;
        if (!symbol || it->Confidence(tesseract::RIL_SYMBOL) < leastConfidence ||
            !it->BoundingBox(tesseract::RIL_SYMBOL, &left, &top, &right, &bottom))
            continue;
        glyphs.push_back(
            {chinesePunctuation(QString::fromUtf8(symbol.get())), (left + right) / 2.0 - margin});
    } while (it->Next(tesseract::RIL_SYMBOL));
    return glyphs;
}

std::optional<QString> TraditionalReader::read(const QImage& line) {
    if (!take(line)) return std::nullopt;
    char* text = engines_->tesseract->GetUTF8Text();
    if (!text) return std::nullopt;
    QString result = chinesePunctuation(QString::fromUtf8(text).simplified());
    delete[] text;
    if (result.isEmpty()) return std::nullopt;
    return result;
}

}  // namespace tessal
