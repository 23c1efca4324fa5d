#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <random>

#include "imaging/PngEncoder.h"

using namespace tessal;

namespace {

// Screen-like content: flat areas, edges, text and some noise, so every filter gets chosen.
QImage content(int w, int h, bool alpha, int seed) {
    QImage image(w, h, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.fill(alpha ? QColor(20, 40, 60, 0) : QColor(240, 242, 245));
    QPainter painter(&image);
    std::mt19937 random(seed);
    for (int i = 0; i < 12; ++i)
        painter.fillRect(int(random() % std::max(w, 1)), int(random() % std::max(h, 1)),
                         1 + int(random() % 200), 1 + int(random() % 120),
                         QColor(random() % 256, random() % 256, random() % 256,
                                alpha ? int(random() % 256) : 255));
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, w, h), Qt::AlignCenter, QStringLiteral("Tessal 截图 0123"));
    painter.end();
    for (int k = 0; k < w * h / 50; ++k)
        image.setPixel(int(random() % w), int(random() % h),
                       alpha ? qPremultiply(qRgba(int(random() % 256), 90, 30, 255))
                             : qRgb(int(random() % 256), 90, 30));
    return image;
}

// Runs that halve from pixel to pixel (240, 120, 60, …), shifted by one pixel per row, with a
// little noise: with zeros above, the average filter (which reads the row above) is by far the
// best choice, so a slice that filtered its first row against zeros instead of the row above
// would decode wrongly.
QImage halvingNoise(int w, int h, int seed) {
    QImage image(w, h, QImage::Format_RGB32);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int v = 240 >> ((x + y) % 6);
            line[x] = qRgb(v + int(random() % 2), v, v + int(random() % 2));
        }
    }
    return image;
}

bool samePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

// Every slice but the first filters its first row against the last row of the slice before.
TEST(PngEncoder, SlicesFilterTheirFirstRowAgainstTheRowAbove) {
    for (const int threads : {2, 3, 8})
        for (const QSize size : {QSize(64, 1031), QSize(509, 640)}) {
            const QImage source = halvingNoise(size.width(), size.height(), threads);
            const auto png = PngEncoder::encode(source, threads);
            ASSERT_TRUE(png);
            EXPECT_TRUE(samePixels(QImage::fromData(*png, "PNG"), source))
                << size.width() << "x" << size.height() << ", " << threads << " threads";
        }
}

// Memory that runs out on a slice thread fails the encoding; it does not end the program. Run
// in a child whose address space leaves room for the image, not for the slices' buffers.
TEST(PngEncoder, RunningOutOfMemoryIsAFailureNotAnEnd) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer reserves more address space than the limit allows";
#endif
    QImage source(6000, 4000, QImage::Format_RGB32);
    source.fill(Qt::gray);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QFile status("/proc/self/status");
        long long size = 0;
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmSize:"))
                    size = line.mid(7).trimmed().split(' ')[0].toLongLong();
        // Room for the second thread's stack, not for a slice's 36 MB of filtered rows (more
        // than malloc takes from its heap: it maps them afresh).
        const rlimit limit{rlim_t(size * 1024 + 20'000'000), rlim_t(size * 1024 + 20'000'000)};
        setrlimit(RLIMIT_AS, &limit);
        const auto png = PngEncoder::encode(source, 2);
        _exit(png ? 3 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "encoded within the limit: the limit is too generous";
}

// Whatever the size and thread count, the stream decodes (through libpng, Qt's reader) to
// exactly the pixels that went in; alpha survives the divide back from premultiplied.
TEST(PngEncoder, RoundTripsAtEveryShapeAndThreadCount) {
    const QSize sizes[] = {{1, 1}, {1, 300}, {300, 1}, {333, 257}, {640, 480}, {97, 1031}};
    for (const bool alpha : {false, true})
        for (const QSize size : sizes)
            for (const int threads : {1, 2, 8}) {
                const QImage source = content(size.width(), size.height(), alpha, size.width());
                const auto png = PngEncoder::encode(source, threads);
                ASSERT_TRUE(png) << size.width() << "x" << size.height();
                const QImage back = QImage::fromData(*png, "PNG");
                ASSERT_EQ(back.size(), size) << threads << " threads";
                EXPECT_EQ(back.hasAlphaChannel(), alpha);
                const QImage expected =
                    source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
                const QImage decoded =
                    back.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
                int worst = 0;
                for (int y = 0; y < size.height(); ++y)
                    for (int x = 0; x < size.width(); ++x) {
                        const QRgb a = expected.pixel(x, y), b = decoded.pixel(x, y);
                        if (qAlpha(a) == 0 && qAlpha(b) == 0) continue;
                        worst = std::max(
                            {worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                             std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
                    }
                // Opaque pixels exactly; translucent ones within the rounding of the divide.
                EXPECT_LE(worst, alpha ? 1 : 0)
                    << size.width() << "x" << size.height() << ", " << threads << " threads";
            }
}

// Slices deflated apart lose only the matches across their joins: the size stays within a few
// per cent of a single stream.
TEST(PngEncoder, SlicesCostLittleAndNullImagesGiveNothing) {
    const QImage source = content(1280, 800, false, 7);
    const auto one = PngEncoder::encode(source, 1);
    const auto eight = PngEncoder::encode(source, 8);
    ASSERT_TRUE(one && eight);
    EXPECT_LT(double(eight->size()), one->size() * 1.05);
    EXPECT_FALSE(PngEncoder::encode(QImage()));
}
