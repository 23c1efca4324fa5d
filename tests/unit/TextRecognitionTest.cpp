#include <gtest/gtest.h>

#include "platform/fake/FakePlatform.h"
#include "tools/TextRecognition.h"

using namespace tessal;

namespace {

// An image whose every row says which row it is (red and green hold the row number), so the
// fake recogniser knows where each tile lies.
QImage rows(int height, int width = 40) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) line[x] = qRgb(y >> 8, y & 255, 0);
    }
    return image;
}

struct Line {
    QString text;
    int top, bottom;  // rows of the whole image, bottom excluded
};

// Answers with the parts of `lines` each tile shows, as a recogniser would (boxes normalised,
// origin at the bottom left).
std::function<std::vector<RecognizedLine>(const QImage&)> reader(std::vector<Line> lines) {
    return [lines](const QImage& tile) {
        const QRgb first = tile.pixel(0, 0);
        const int top = qRed(first) * 256 + qGreen(first);
        const double h = tile.height();
        std::vector<RecognizedLine> found;
        for (const Line& l : lines) {
            const int a = std::max(l.top, top), b = std::min(l.bottom, top + tile.height());
            if (a >= b) continue;
            found.push_back({l.text, QRectF(0.1, 1.0 - (b - top) / h, 0.5, (b - a) / h)});
        }
        return found;
    };
}

}  // namespace

TEST(TextRecognition, BandsOwnTheLinesWhoseMiddleTheyHold) {
    FakeTextRecognizer recognizer;
    // Up to 1800 rows: one band, no overlap above.
    // The recogniser's reading order is kept: two panes side by side, one after the other.
    recognizer.answer =
        reader({{"left one", 10, 30}, {"left two", 100, 120}, {"right one", 10, 30}});
    EXPECT_EQ(TextRecognition::recognize(rows(1800), recognizer).value(),
              "left one\nleft two\nright one");
    ASSERT_EQ(recognizer.tiles.size(), 1u);
    EXPECT_EQ(recognizer.tiles[0], QSize(40, 1800));

    // 4000 rows: three bands of at most 1928 rows. A line whose middle is row 1800 belongs to
    // the second band only; one across the boundary at 3600 is reported once; a line cut by a
    // tile's edge is read by the band that owns its middle.
    recognizer.tiles.clear();
    recognizer.answer = reader({{"first", 0, 20},
                                {"middle-1800", 1790, 1810},
                                {"straddle", 3590, 3620},
                                {"last", 3980, 4000}});
    EXPECT_EQ(TextRecognition::recognize(rows(4000), recognizer).value(),
              "first\nmiddle-1800\nstraddle\nlast");
    ASSERT_EQ(recognizer.tiles.size(), 3u);
    EXPECT_EQ(recognizer.tiles[0].height(), 1864);
    EXPECT_EQ(recognizer.tiles[1].height(), 1928);
    EXPECT_EQ(recognizer.tiles[2].height(), 464);  // 3536 … 4000

    recognizer.answer = reader({{"left", 50, 70}, {"right", 50, 70}});
    EXPECT_EQ(TextRecognition::recognize(rows(200), recognizer).value(), "left\nright");
    recognizer.answer = nullptr;
    EXPECT_EQ(TextRecognition::recognize(rows(200), recognizer).value(), "");
    EXPECT_EQ(TextRecognition::recognize(QImage(), recognizer).value(), "");
}

TEST(TextRecognition, LanguagesFailuresAndCancellation) {
    FakeTextRecognizer recognizer;
    recognizer.languages = {"en-US", "fr-FR"};
    (void)TextRecognition::recognize(rows(100), recognizer);
    EXPECT_EQ(recognizer.asked.back(), QStringList{"en-US"});
    recognizer.languages = {"zh-Hant", "en-US", "zh-Hans"};
    (void)TextRecognition::recognize(rows(100), recognizer);
    EXPECT_EQ(recognizer.asked.back(), (QStringList{"zh-Hans", "zh-Hant", "en-US"}));
    (void)TextRecognition::recognize(rows(100), recognizer, nullptr, {"en-US", "zh-Hant"});
    EXPECT_EQ(recognizer.asked.back(), (QStringList{"zh-Hant", "en-US"}));

    recognizer.failure = UserError{"Ostrel", 21, "识别进程意外退出"};
    const auto failed = TextRecognition::recognize(rows(100), recognizer);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().message, "识别进程意外退出");
    recognizer.failure.reset();

    // Cancelled while the first band is read: the second is never asked for.
    std::atomic<bool> cancelled = false;
    recognizer.tiles.clear();
    recognizer.onRecognize = [&] { cancelled = true; };
    const auto stopped = TextRecognition::recognize(rows(4000), recognizer, &cancelled);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().code, 22);
    EXPECT_EQ(recognizer.tiles.size(), 1u);
}

// Codes come first, one line each, named by kind; their text is shown as it is (a link is only
// text) on one line and bounded; binary content is a short note. They are looked for once, in
// the whole image, so that no band cuts one in two.
TEST(TextRecognition, CodesAreListedFirstAsText) {
    FakeTextRecognizer recognizer;
    recognizer.answer = reader({{"保存", 10, 30}});
    recognizer.codeLines = {{"https://example.com/a?b=1", QRectF(0, 0.5, 0.2, 0.2), "QRCode"},
                            {"4006381333931", QRectF(0.5, 0.1, 0.3, 0.1), "EAN-13"},
                            {"", QRectF(0, 0, 0.1, 0.1), "DataMatrix", 1},
                            {"", QRectF(0, 0, 0.1, 0.1), "MicroQRCode", 300},
                            {"第一行\n第二行", QRectF(0, 0, 0.1, 0.1), "QRCode"}};
    EXPECT_EQ(TextRecognition::recognize(rows(4000), recognizer).value(),
              "二维码：https://example.com/a?b=1\n"
              "条形码（EAN-13）：4006381333931\n"
              "DataMatrix 码：二进制数据（1 字节）\n"
              "二维码：二进制数据（300 字节）\n"
              "二维码：第一行 第二行\n"
              "保存");
    ASSERT_EQ(recognizer.codeImages.size(), 1u);
    EXPECT_EQ(recognizer.codeImages[0], QSize(40, 4000));

    const QString huge(5'000'000, QLatin1Char('7'));
    const QString shown =
        TextRecognition::codeLine({huge, QRectF(0, 0, 1, 1), QStringLiteral("QRCode")});
    EXPECT_EQ(shown, QStringLiteral("二维码：") + huge.left(TextRecognition::maximumCodeText) +
                         QChar(0x2026));

    // A large image is looked at scaled down; the text is still read band by band at full size.
    recognizer.codeImages.clear();
    recognizer.tiles.clear();
    recognizer.codeLines.clear();
    recognizer.answer = nullptr;
    EXPECT_EQ(TextRecognition::recognize(rows(6'000, 4'000), recognizer).value(), "");
    ASSERT_EQ(recognizer.codeImages.size(), 1u);
    EXPECT_LE(qint64(recognizer.codeImages[0].width()) * recognizer.codeImages[0].height(),
              TextRecognition::maximumCodeImagePixels);
    EXPECT_NEAR(double(recognizer.codeImages[0].height()) / recognizer.codeImages[0].width(), 1.5,
                0.01);
    EXPECT_EQ(recognizer.tiles.front().width(), 4'000);
    // Nothing to look at, nothing asked.
    recognizer.codeImages.clear();
    EXPECT_EQ(TextRecognition::recognize(QImage(), recognizer).value(), "");
    EXPECT_TRUE(recognizer.codeImages.empty());
}
