#include "PngEncoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "base/SerialQueue.h"

namespace tessal::PngEncoder {
namespace {

// One image row as PNG bytes: R, G, B (and A, not premultiplied) per pixel.
void packRow(const QImage& image, int y, bool alpha, std::uint8_t* out) {
    const int w = image.width();
    const auto* in = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    if (!alpha) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = in[x];
            out[3 * x] = std::uint8_t(p >> 16);
            out[3 * x + 1] = std::uint8_t(p >> 8);
            out[3 * x + 2] = std::uint8_t(p);
        }
        return;
    }
    for (int x = 0; x < w; ++x) {
        const std::uint32_t p = in[x];
        const std::uint32_t a = p >> 24;
        std::uint32_t r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        if (a != 0 && a != 255) {  // premultiplied: divide back, rounding
            r = std::min<std::uint32_t>((r * 255 + a / 2) / a, 255);
            g = std::min<std::uint32_t>((g * 255 + a / 2) / a, 255);
            b = std::min<std::uint32_t>((b * 255 + a / 2) / a, 255);
        }
        out[4 * x] = std::uint8_t(r);
        out[4 * x + 1] = std::uint8_t(g);
        out[4 * x + 2] = std::uint8_t(b);
        out[4 * x + 3] = std::uint8_t(a);
    }
}

inline int paethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

inline std::uint32_t magnitude(std::uint8_t filtered) {
    const int v = std::int8_t(filtered);
    return std::uint32_t(v < 0 ? -v : v);
}

// Writes `cur` (previous row `prev`, zeros above the first) as filter byte + filtered row into
// `out`, with the filter whose bytes, read as signed values, have the smallest sum: the usual
// estimate of how well a row compresses. The five sums are taken in one pass; only the chosen
// filter is written.
void filterRow(const std::uint8_t* cur, const std::uint8_t* prev, int n, int bpp,
               std::uint8_t* out) {
    // The sums are taken over every fourth byte: the choice is the same for screen content in
    // practice, at a quarter of the cost.
    std::uint32_t sums[5] = {0, 0, 0, 0, 0};
    auto add = [&](int x, int a, int b, int c) {
        sums[0] += magnitude(std::uint8_t(x));
        sums[1] += magnitude(std::uint8_t(x - a));
        sums[2] += magnitude(std::uint8_t(x - b));
        sums[3] += magnitude(std::uint8_t(x - ((a + b) >> 1)));
        sums[4] += magnitude(std::uint8_t(x - paethPredictor(a, b, c)));
    };
    int k = 0;
    for (; k < bpp && k < n; k += 4) add(cur[k], 0, prev[k], 0);
    for (; k < n; k += 4) add(cur[k], cur[k - bpp], prev[k], prev[k - bpp]);
    const int best = int(std::min_element(sums, sums + 5) - sums);
    out[0] = std::uint8_t(best);
    std::uint8_t* row = out + 1;
    switch (best) {
        case 0:
            std::memcpy(row, cur, std::size_t(n));
            break;
        case 1:
            for (int i = 0; i < n; ++i)
                row[i] = std::uint8_t(cur[i] - (i >= bpp ? cur[i - bpp] : 0));
            break;
        case 2:
            for (int i = 0; i < n; ++i) row[i] = std::uint8_t(cur[i] - prev[i]);
            break;
        case 3:
            for (int i = 0; i < n; ++i)
                row[i] = std::uint8_t(cur[i] - (((i >= bpp ? cur[i - bpp] : 0) + prev[i]) >> 1));
            break;
        default:
            for (int i = 0; i < n; ++i)
                row[i] = std::uint8_t(cur[i] - paethPredictor(i >= bpp ? cur[i - bpp] : 0, prev[i],
                                                              i >= bpp ? prev[i - bpp] : 0));
            break;
    }
}

struct Slice {
    int firstRow = 0, endRow = 0;
    bool last = false;
    QByteArray deflated;
    uLong adler = 1;
    uLong length = 0;
    bool ok = false;
};

void deflateSlice(const QImage& image, bool alpha, Slice& slice) {
    const int w = image.width(), bpp = alpha ? 4 : 3, n = w * bpp;
    const std::size_t rows = std::size_t(slice.endRow - slice.firstRow);
    std::vector<std::uint8_t> filtered(rows * std::size_t(n + 1));
    const auto bytes = std::size_t(n);
    std::vector<std::uint8_t> previous(bytes, 0), current(bytes);
    if (slice.firstRow > 0) packRow(image, slice.firstRow - 1, alpha, previous.data());
    for (int y = slice.firstRow; y < slice.endRow; ++y) {
        packRow(image, y, alpha, current.data());
        filterRow(current.data(), previous.data(), n, bpp,
                  filtered.data() + std::size_t(y - slice.firstRow) * std::size_t(n + 1));
        std::swap(previous, current);
    }
    slice.length = uLong(filtered.size());
    slice.adler = adler32(1, filtered.data(), uInt(filtered.size()));

    z_stream stream{};
    // Raw deflate: the zlib header and checksum are written once for all slices.
    if (deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return;
    slice.deflated.resize(qsizetype(deflateBound(&stream, uLong(filtered.size())) + 16));
    stream.next_in = filtered.data();
    stream.avail_in = uInt(filtered.size());
    stream.next_out = reinterpret_cast<Bytef*>(slice.deflated.data());
    stream.avail_out = uInt(slice.deflated.size());
    // Every slice but the last ends on a byte boundary without the final-block mark, so the
    // slices read as one stream; none refers back into another.
    const int result = deflate(&stream, slice.last ? Z_FINISH : Z_SYNC_FLUSH);
    const bool done =
        slice.last ? result == Z_STREAM_END : (result == Z_OK && stream.avail_in == 0);
    slice.deflated.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    slice.ok = done;
}

// Out of memory on a slice thread would end the program: it fails the slice instead, and so
// the whole encoding.
void encodeSlice(const QImage& image, bool alpha, Slice& slice) noexcept {
    try {
        deflateSlice(image, alpha, slice);
    } catch (const std::bad_alloc&) {
        slice.ok = false;
    }
}

void appendBigEndian(QByteArray& out, std::uint32_t v) {
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(bytes, 4);
}

void appendChunk(QByteArray& out, const char* type, const QByteArray& data) {
    appendBigEndian(out, std::uint32_t(data.size()));
    out.append(type, 4);
    out.append(data);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size()));
    appendBigEndian(out, std::uint32_t(crc));
}

std::optional<QByteArray> encodeImage(const QImage& source, int threads) {
    const bool alpha = source.hasAlphaChannel();
    const QImage image =
        source.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull()) return std::nullopt;
    const int h = image.height();
    if (threads <= 0) threads = int(std::max(1u, std::thread::hardware_concurrency()));
    // Slices of at least 64 rows: smaller ones cost more in lost matches than they save.
    const int count = std::clamp(std::min(threads, h / 64), 1, h);
    std::vector<Slice> slices(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        slices[std::size_t(i)].firstRow = int(std::int64_t(h) * i / count);
        slices[std::size_t(i)].endRow = int(std::int64_t(h) * (i + 1) / count);
        slices[std::size_t(i)].last = i == count - 1;
    }
    std::vector<std::thread> workers;
    workers.reserve(std::size_t(count));
    for (int i = 1; i < count; ++i) {
        Slice& slice = slices[std::size_t(i)];
        try {
            workers.emplace_back([&image, alpha, &slice] { encodeSlice(image, alpha, slice); });
        } catch (const std::system_error&) {
            encodeSlice(image, alpha, slice);  // no thread to be had: here, then
        }
    }
    encodeSlice(image, alpha, slices.front());
    for (std::thread& t : workers) t.join();

    QByteArray idat;
    idat.append(char(0x78)).append(char(0x01));  // deflate, 32 KiB window, fastest level
    uLong adler = 1;
    for (const Slice& s : slices) {
        if (!s.ok) return std::nullopt;
        idat.append(s.deflated);
        adler = adler32_combine(adler, s.adler, z_off_t(s.length));
    }
    appendBigEndian(idat, std::uint32_t(adler));

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian(header, std::uint32_t(image.width()));
    appendBigEndian(header, std::uint32_t(h));
    header.append(char(8))
        .append(char(alpha ? 6 : 2))
        .append(char(0))
        .append(char(0))
        .append(char(0));
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", idat);
    appendChunk(png, "IEND", {});
    return png;
}

}  // namespace

std::optional<QByteArray> encode(const QImage& source, int threads) {
    if (source.isNull()) return std::nullopt;
    try {
        return encodeImage(source, threads);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

SerialQueue& worker() {
    return SerialQueue::named("local.ostrel.png");
}

}  // namespace tessal::PngEncoder
