#include "ScrollStitcher.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace tessal {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kUnchanged = 0.3;
constexpr double kMatch = 7.0;
constexpr double kAmbiguity = 0.35;
constexpr int kAmbiguousDistance = 9;
constexpr int kCoarseRows = 24;
constexpr int kFineRows = 110;
constexpr int kFineCandidates = 24;
constexpr int kMinimumSamples = 35;

int minimumOverlap(int h) {
    return h > 287 ? h / 12 : 24;
}

QImage premultiplied(const QImage& image) {
    return image.format() == QImage::Format_ARGB32_Premultiplied
               ? image
               : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Rows [from, from + count) of an image, as its own copy.
QImage rows(const QImage& image, int from, int count) {
    if (count <= 0 || from < 0 || from + count > image.height()) return {};
    return premultiplied(image.copy(0, from, image.width(), count));
}

struct Candidate {
    int shift;
    double score;
};

void sortCandidates(std::vector<Candidate>& list) {
    std::stable_sort(list.begin(), list.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
}

// Rows of the fixed band at the top (or, with `fromBottom`, the bottom) of both signatures.
int fixedBand(const ScrollSignature& previous, const ScrollSignature& next, bool fromBottom) {
    const int h = previous.height;
    if (h < 4 || next.height != h) return 0;
    const int limit = h / 4;
    int band = limit, textured = 0;
    for (int k = 0; k < limit; ++k) {
        const int r = fromBottom ? h - 1 - k : k;
        int difference = 0, detail = 0;
        for (int x = 3; x <= 68; ++x) {
            difference += std::abs(int(previous.at(x, r)) - int(next.at(x, r)));
            detail += std::abs(int(previous.at(x, r)) - int(previous.at(x - 1, r)));
        }
        if (difference / 66.0 > 1.0) {
            band = k;
            break;
        }
        if (detail > 80) ++textured;
    }
    return textured >= 3 ? band : 0;
}

}  // namespace

ScrollSignature::ScrollSignature(const QImage& frame) {
    const QImage image = frame.format() == QImage::Format_RGB32 ||
                                 frame.format() == QImage::Format_ARGB32 ||
                                 frame.format() == QImage::Format_ARGB32_Premultiplied
                             ? frame
                             : frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    height = image.height();
    pixels.assign(std::size_t(columns) * height, 0);
    texturedRows.assign(height, false);
    const int w = image.width();
    if (w <= 0) return;
    // Each of the 72 columns averages up to four evenly spaced pixels of its span: a cheap,
    // deterministic squeeze, so identical frames give identical signatures.
    int starts[columns + 1];
    for (int c = 0; c <= columns; ++c) starts[c] = int(std::int64_t(c) * w / columns);
    int taps[columns][4];
    int tapCount[columns];
    for (int c = 0; c < columns; ++c) {
        const int span = std::max(starts[c + 1] - starts[c], 1);
        tapCount[c] = std::min(span, 4);
        for (int t = 0; t < tapCount[c]; ++t)
            taps[c][t] = std::min(starts[c] + (span * (2 * t + 1)) / (2 * tapCount[c]), w - 1);
    }
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        std::uint8_t* out = &pixels[std::size_t(y) * columns];
        for (int c = 0; c < columns; ++c) {
            int sum = 0;
            for (int t = 0; t < tapCount[c]; ++t) {
                const std::uint32_t p = row[taps[c][t]];
                sum += (((p >> 16) & 0xff) * 77 + ((p >> 8) & 0xff) * 150 + (p & 0xff) * 29) >> 8;
            }
            out[c] = std::uint8_t(sum / tapCount[c]);
        }
        for (int x = 5; x <= 65; x += 2) {
            if (std::abs(int(out[x]) - int(out[x - 1])) > 5) {
                texturedRows[y] = true;
                break;
            }
        }
    }
}

double ScrollSignature::difference(const ScrollSignature& other) const {
    const std::size_t length = std::min(pixels.size(), other.pixels.size());
    if (other.pixels.empty() || length == 0) return 0;
    long long sum = 0, count = 0;
    for (std::size_t i = 0; i < length; i += 11) {
        sum += std::abs(int(pixels[i]) - int(other.pixels[i]));
        ++count;
    }
    return double(sum) / double(count);
}

double ScrollSignature::score(const ScrollSignature& next, int shift, int top, int bottom,
                              int rowsWanted) const {
    const int h = height;
    const int end = h - bottom - shift;
    const int overlap = end - top;
    if (overlap < minimumOverlap(h) || next.height < end || shift < 0) return kInfinity;
    long long sum = 0;
    int count = 0;
    auto sampleRow = [&](int y) {
        const std::uint8_t* o = &pixels[std::size_t(y + shift) * columns];
        const std::uint8_t* n = &next.pixels[std::size_t(y) * columns];
        for (int x = 5; x <= 65; x += 2) {
            if (std::abs(int(o[x]) - int(o[x - 1])) <= 5 &&
                std::abs(int(n[x]) - int(n[x - 1])) <= 5)
                continue;
            sum += std::abs(int(o[x]) - int(n[x]));
            ++count;
        }
    };
    const int step = std::max(overlap / rowsWanted, 1);
    for (int y = top; y < end; y += step) sampleRow(y);
    if (count >= kMinimumSamples) return double(sum) / count;

    // Sparse content: sample among the rows that show any detail.
    sum = 0;
    count = 0;
    std::vector<int> textured;
    for (int y = top; y < end; ++y)
        if (texturedRows[y + shift] || next.texturedRows[y]) textured.push_back(y);
    const int every = std::max(int(textured.size()) / rowsWanted, 1);
    for (std::size_t i = 0; i < textured.size(); i += every) sampleRow(textured[i]);
    return count >= kMinimumSamples ? double(sum) / count : kInfinity;
}

ScrollStitcher::ScrollStitcher(const QImage& first, long long maximumPixels)
    : width_(first.width()),
      viewportHeight_(first.height()),
      height_(first.height()),
      previous_(first),
      maximumPixels_(std::max(maximumPixels, (long long)first.width() * first.height())) {
    pieces_.push_back(premultiplied(first.copy()));
}

long long ScrollStitcher::heldPixels() const {
    long long n = (long long)footer_.width() * footer_.height();
    for (const QImage& p : pieces_) n += (long long)p.width() * p.height();
    return n;
}

ScrollAppendResult ScrollStitcher::append(const QImage& frame, bool automaticCrop) {
    return appendOnce(frame, automaticCrop, false);
}

ScrollAppendResult ScrollStitcher::appendOnce(const QImage& passed, bool automaticCrop,
                                              bool rerun) {
    const int H = viewportHeight_, W = width_;
    if (passed.width() != W || passed.height() != H) return ScrollAppendResult::unmatched();
    QImage frame = passed;
    if (reverseDirection_) {
        frame = reversedScrollImage(passed);
        if (frame.isNull()) return ScrollAppendResult::unmatched();
    }
    const ScrollSignature next(frame);
    if (next.difference(previous_) < kUnchanged) return ScrollAppendResult::unchanged();

    int top = top_, bottom = bottom_;
    if (!hasAppended_) {
        top = fixedBand(previous_, next, false);
        bottom = fixedBand(previous_, next, true);
    }
    const int usable = H - top - bottom;
    const int largest = usable - minimumOverlap(H);
    if (largest < 2) return ScrollAppendResult::unmatched();

    std::vector<Candidate> coarse;
    coarse.reserve(std::size_t(largest) * 2);
    for (int s = 1; s <= largest; ++s) {
        coarse.push_back({s, previous_.score(next, s, top, bottom, kCoarseRows)});
        if (!hasAppended_ || (automaticCrop && height_ > H && s <= height_ - H))
            coarse.push_back({-s, next.score(previous_, s, top, bottom, kCoarseRows)});
    }
    sortCandidates(coarse);
    std::vector<Candidate> fine;
    for (std::size_t i = 0; i < coarse.size() && int(i) < kFineCandidates; ++i) {
        const int s = coarse[i].shift;
        const double score = s > 0 ? previous_.score(next, s, top, bottom, kFineRows)
                                   : next.score(previous_, -s, top, bottom, kFineRows);
        fine.push_back({s, score});
    }
    sortCandidates(fine);

    const double still = previous_.score(next, 0, top, bottom, kFineRows);
    if (still < kMatch && (fine.empty() || still <= fine.front().score + kAmbiguity))
        return ScrollAppendResult::unchanged();
    if (fine.empty() || !(fine.front().score < kMatch)) return ScrollAppendResult::unmatched();
    const Candidate best = fine.front();
    for (const Candidate& c : fine) {
        if (std::abs(c.shift - best.shift) >= kAmbiguousDistance &&
            c.score <= best.score + kAmbiguity)
            return ScrollAppendResult::unmatched();
    }

    if (best.shift > 0) {
        const int s = best.shift;
        const long long newHeight = (long long)height_ + s;
        if (newHeight > maximumRows || W * newHeight > maximumPixels_)
            return ScrollAppendResult::limit();
        const QImage strip = rows(frame, H - bottom - s, s);
        if (strip.isNull()) return ScrollAppendResult::unmatched();
        std::vector<QImage> pieces = pieces_;
        if (!hasAppended_ && bottom >= 1) {
            const QImage firstWithoutFooter = rows(pieces.front(), 0, H - bottom);
            if (firstWithoutFooter.isNull()) return ScrollAppendResult::unmatched();
            pieces.front() = firstWithoutFooter;
        }
        pieces.push_back(strip);
        pieces_ = std::move(pieces);
        footer_ = bottom > 0 ? rows(frame, H - bottom, bottom) : QImage();
        top_ = top;
        bottom_ = bottom;
        hasAppended_ = true;
        height_ = int(newHeight);
        previous_ = next;
        return ScrollAppendResult::appended(s);
    }

    if (!hasAppended_) {
        // The capture began by scrolling up: work on turned frames from now on, once.
        if (rerun || reverseDirection_) return ScrollAppendResult::unmatched();
        const QImage turned = reversedScrollImage(pieces_.front());
        if (turned.isNull()) return ScrollAppendResult::unmatched();
        reverseDirection_ = true;
        previous_ = ScrollSignature(turned);
        pieces_ = {turned};
        return appendOnce(passed, automaticCrop, true);
    }

    // Scrolled back: cut the end of the result, never below one frame.
    int remove = -best.shift;
    const int newHeight = height_ - remove;
    if (newHeight < H) return ScrollAppendResult::unmatched();
    std::vector<QImage> pieces = pieces_;
    while (remove > 0) {
        if (pieces.empty()) return ScrollAppendResult::unmatched();
        QImage& last = pieces.back();
        if (last.height() > remove) {
            last = rows(last, 0, last.height() - remove);
            if (last.isNull()) return ScrollAppendResult::unmatched();
            remove = 0;
        } else {
            remove -= last.height();
            pieces.pop_back();
        }
    }
    pieces_ = std::move(pieces);
    height_ = newHeight;
    previous_ = next;
    footer_ = bottom_ > 0 ? rows(frame, H - bottom_, bottom_) : QImage();
    return ScrollAppendResult::cropped(-best.shift);
}

QImage ScrollStitcher::image(bool preview, int fittingHeight) const {
    double scale = 1;
    if (preview)
        scale = std::min({double(std::max(fittingHeight, 1)) / height_, 230.0 / width_, 1.0});
    const int w = std::max(int(std::ceil(scale * width_)), 1);
    const int h = std::max(int(std::ceil(scale * height_)), 1);
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) return {};
    out.fill(Qt::transparent);
    {
        QPainter painter(&out);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, preview);
        painter.scale(scale, scale);
        int y = 0;
        for (const QImage& piece : pieces_) {
            painter.drawImage(QPoint(0, y), piece);
            y += piece.height();
        }
        if (!footer_.isNull()) painter.drawImage(QPoint(0, y), footer_);
    }
    return reverseDirection_ ? reversedScrollImage(out) : out;
}

QImage reversedScrollImage(const QImage& image) {
    if (image.isNull()) return {};
    return premultiplied(image).transformed(QTransform().rotate(180));
}

QImage normalizeAxis(LongCaptureAxis axis, const QImage& image) {
    if (axis == LongCaptureAxis::vertical || image.isNull()) return image;
    return premultiplied(image).transformed(QTransform().rotate(90));
}

QImage restoreAxis(LongCaptureAxis axis, const QImage& image) {
    if (axis == LongCaptureAxis::vertical || image.isNull()) return image;
    return premultiplied(image).transformed(QTransform().rotate(-90));
}

QImage LongCaptureCrop::apply(const QImage& image) const {
    const int h = image.height();
    if (image.isNull() || leading < 0 || trailing < 0 || leading >= h || trailing >= h - leading)
        return {};
    return image.copy(0, leading, image.width(), h - leading - trailing);
}

}  // namespace tessal
