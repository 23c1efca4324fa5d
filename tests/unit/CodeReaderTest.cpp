#include <gtest/gtest.h>

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <QPainter>
#include <QRandomGenerator>

#include "platform/ocr/CodeReader.h"

using namespace tessal;

namespace {

// A code drawn by ZXing's writer, `module` pixels per module, black on white.
QImage drawn(ZXing::BarcodeFormat format, const std::wstring& content, int module = 4,
             ZXing::CharacterSet encoding = ZXing::CharacterSet::UTF8, int height = 0) {
    const ZXing::BitMatrix bits =
        ZXing::MultiFormatWriter(format).setEncoding(encoding).setMargin(4).encode(content, 0,
                                                                                   height);
    QImage image(bits.width() * module, bits.height() * module, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < bits.height(); ++y)
        for (int x = 0; x < bits.width(); ++x)
            if (bits.get(x, y)) painter.fillRect(x * module, y * module, module, module, Qt::black);
    return image;
}

QImage on(QSize size, const std::vector<std::pair<QImage, QPoint>>& codes) {
    QImage page(size, QImage::Format_RGB32);
    page.fill(QColor(0xf4, 0xf4, 0xf4));
    QPainter painter(&page);
    for (const auto& [code, at] : codes) painter.drawImage(at, code);
    return page;
}

}  // namespace

TEST(CodeReader, ReadsWhatTheCodesSay) {
    const std::wstring link = L"https://example.com/路径?q=截图&x=1";
    const std::wstring digits(5000, L'7');
    std::wstring bytes;
    for (int i = 0; i < 256; ++i) bytes += wchar_t(i);
    struct Case {
        const char* name;
        QImage image;
        QString format;
        QString text;
        int binaryBytes;
    } cases[] = {
        {"link", drawn(ZXing::BarcodeFormat::QRCode, link), "QRCode", QString::fromStdWString(link),
         -1},
        {"EAN-13", drawn(ZXing::BarcodeFormat::EAN13, L"4006381333931", 3, {}, 80), "EAN-13",
         "4006381333931", -1},
        {"binary", drawn(ZXing::BarcodeFormat::QRCode, bytes, 3, ZXing::CharacterSet::BINARY),
         "QRCode", "", 256},
        {"longest numeric QR", drawn(ZXing::BarcodeFormat::QRCode, digits, 3), "QRCode",
         QString(CodeReader::maximumText, QLatin1Char('7')) + QChar(0x2026), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage page = on(c.image.size() + QSize(80, 60), {{c.image, QPoint(40, 30)}});
        const std::vector<CodeReader::Code> found = CodeReader::read(page);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].format, c.format);
        EXPECT_EQ(found[0].text, c.text);
        EXPECT_EQ(found[0].binaryBytes, c.binaryBytes);
        EXPECT_TRUE(QRect(38, 28, c.image.width() + 4, c.image.height() + 4).contains(found[0].box))
            << found[0].box.x() << "," << found[0].box.y() << " " << found[0].box.width() << "x"
            << found[0].box.height();
    }
}

TEST(CodeReader, SeveralCodesTopToBottomAndLargeImages) {
    const QImage qr = drawn(ZXing::BarcodeFormat::QRCode, L"下面");
    const QImage ean = drawn(ZXing::BarcodeFormat::EAN13, L"9780201379624", 3, {}, 80);
    const QImage other = drawn(ZXing::BarcodeFormat::QRCode, L"上面");
    const auto found = CodeReader::read(
        on({900, 700}, {{qr, QPoint(500, 300)}, {ean, QPoint(20, 550)}, {other, {30, 20}}}));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].text, "上面");
    EXPECT_EQ(found[1].text, "下面");
    EXPECT_EQ(found[2].text, "9780201379624");

    // Equal barcodes side by side and one above the other are each listed once.
    const QImage small = drawn(ZXing::BarcodeFormat::EAN13, L"9780201379624", 2, {}, 40);
    const auto equal = CodeReader::read(
        on({900, 400}, {{ean, QPoint(10, 10)}, {ean, QPoint(450, 10)}, {small, QPoint(200, 300)}}));
    ASSERT_EQ(equal.size(), 3u);
    for (const auto& code : equal) EXPECT_EQ(code.text, "9780201379624");

    // Past the area read at full size: scaled down, boxes still in the image's own pixels.
    const QImage big = drawn(ZXing::BarcodeFormat::QRCode, L"大图", 40);
    const auto far = CodeReader::read(on({3000, 7000}, {{big, QPoint(1000, 5000)}}));
    ASSERT_EQ(far.size(), 1u);
    EXPECT_EQ(far[0].text, "大图");
    EXPECT_TRUE(QRect(990, 4990, big.width() + 20, big.height() + 20).contains(far[0].box));
}

TEST(CodeReader, NothingFromNothing) {
    QImage noise(640, 480, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, random.generate() | 0xff000000);
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::black);
    for (const QImage& image : {QImage(), dot, QImage(1, 400, QImage::Format_RGB32), noise})
        EXPECT_TRUE(CodeReader::read(image).empty());
}
