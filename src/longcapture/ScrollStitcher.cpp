#include "ScrollStitcher.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstring>

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
// The full-resolution check of a match, in tiles of kTile × kTile pixels of the overlap: a tile
// shows content when some pixel has an edge (a grey step of more than kEdge to the left or above,
// in either frame), and differs when a few of those differ by more than kPixelDifference. Content
// that really continues differs in a few tiles at most (a pointer, a caret, a small animation);
// lines of text that only look alike at the signature's 72 columns differ all over.
constexpr int kTile = 32;
constexpr int kEdge = 24;
constexpr int kPixelDifference = 48;
constexpr int kDifferingPixels = 3;
constexpr int kLocalTiles = 4;
constexpr int kCheckedRows = 240;
constexpr int kNearbyShifts = 8;
constexpr int kBrokenRowTiles = 3;

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

// Cuts `count` rows off the end of the pieces; false when they hold fewer.
bool dropLastRows(std::vector<QImage>& pieces, int count) {
    while (count > 0) {
        if (pieces.empty()) return false;
        QImage& last = pieces.back();
        if (last.height() > count) {
            last = rows(last, 0, last.height() - count);
            return !last.isNull();
        }
        count -= last.height();
        pieces.pop_back();
    }
    return true;
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

QImage thirtyTwoBit(const QImage& image) {
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32 ||
                   image.format() == QImage::Format_ARGB32_Premultiplied
               ? image
               : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void greyRow(const QImage& image, int y, std::vector<int>& out) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    out.resize(std::size_t(image.width()));
    for (int x = 0; x < image.width(); ++x) {
        const std::uint32_t p = row[x];
        out[std::size_t(x)] =
            int((((p >> 16) & 0xff) * 77 + ((p >> 8) & 0xff) * 150 + (p & 0xff) * 29) >> 8);
    }
}

// How far two equally sized 32-bit frames agree when `next` shows the content of `previous`
// moved up by `shift` rows (down for a negative one), the bands `top` and `bottom` left out, and
// for a forward shift only the rows of `previous` above `trustedEnd` (the rows below were seen
// by that frame alone, and may be what a frame caught mid-redraw showed). The count stops once
// more than `enough` tiles differ.
struct Agreement {
    int tiles = 0;      // with content
    int differing = 0;  // of those, differing
    // Rows of tiles where most of what shows differs: a line that is not the line it should be
    // (a frame caught while the window redrew, or a shift by whole look-alike lines). A pointer
    // or a caret only ever covers a tile or two of a row.
    int brokenRows = 0;
    bool holds() const { return brokenRows == 0 && differing <= kLocalTiles + tiles / 10; }
};

Agreement agreement(const QImage& previous, const QImage& next, int shift, int top, int bottom,
                    int trustedEnd, int enough) {
    const int h = previous.height(), w = previous.width();
    int overlap = h - bottom - top - std::abs(shift);
    if (overlap <= 0 || w < 2 || next.size() != previous.size())
        return {0, std::numeric_limits<int>::max(), 1};
    const int trusted = trustedEnd - top - shift;
    if (shift > 0 && trusted >= minimumOverlap(h)) overlap = std::min(overlap, trusted);
    const int columns = (w + kTile - 1) / kTile;
    std::vector<int> a, aAbove, b, bAbove;
    std::vector<int> edges(std::size_t(columns), 0), differing(std::size_t(columns), 0);
    Agreement result;
    auto closeTiles = [&] {
        int shown = 0, differ = 0;
        for (int c = 0; c < columns; ++c) {
            if (edges[std::size_t(c)] > 0) ++shown;
            if (differing[std::size_t(c)] >= kDifferingPixels) ++differ;
        }
        result.tiles += shown;
        result.differing += differ;
        if (differ >= kBrokenRowTiles && 2 * differ > shown) ++result.brokenRows;
        std::fill(edges.begin(), edges.end(), 0);
        std::fill(differing.begin(), differing.end(), 0);
    };
    const int step = std::clamp(overlap / kCheckedRows, 1, kTile / 4);
    const int ya0 = top + std::max(shift, 0), yb0 = top + std::max(-shift, 0);
    // Scrolled content is nearly always the very same pixels: nothing to weigh then.
    bool same = previous.format() == next.format();
    for (int k = 0; same && k < overlap; k += step)
        same = std::memcmp(previous.constScanLine(ya0 + k), next.constScanLine(yb0 + k),
                           std::size_t(w) * 4) == 0;
    if (same) return result;
    for (int k = 0; k < overlap; k += step) {
        if (k > 0 && k / kTile != (k - step) / kTile) {
            closeTiles();
            if (result.differing > enough || result.brokenRows > 0) return result;
        }
        const int ya = ya0 + k, yb = yb0 + k;
        if (k > 0 && step == 1) {
            std::swap(a, aAbove);
            std::swap(b, bAbove);
        } else {
            if (ya > 0) greyRow(previous, ya - 1, aAbove);
            if (yb > 0) greyRow(next, yb - 1, bAbove);
        }
        greyRow(previous, ya, a);
        greyRow(next, yb, b);
        for (int x = 1; x < w; ++x) {
            const std::size_t i = std::size_t(x);
            const bool edge = std::abs(a[i] - a[i - 1]) > kEdge ||
                              std::abs(b[i] - b[i - 1]) > kEdge ||
                              (ya > 0 && std::abs(a[i] - aAbove[i]) > kEdge) ||
                              (yb > 0 && std::abs(b[i] - bAbove[i]) > kEdge);
            if (!edge) continue;
            ++edges[std::size_t(x / kTile)];
            if (std::abs(a[i] - b[i]) > kPixelDifference) ++differing[std::size_t(x / kTile)];
        }
    }
    closeTiles();
    return result;
}

}  // namespace

ScrollSignature::ScrollSignature(const QImage& frame) {
    const QImage image = thirtyTwoBit(frame);
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
      previousFrame_(thirtyTwoBit(first)),
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
    QImage frame = thirtyTwoBit(passed);
    if (reverseDirection_) {
        frame = reversedScrollImage(passed);
        if (frame.isNull()) return ScrollAppendResult::unmatched();
    }
    const ScrollSignature next(frame);
    if (const double change = next.difference(previous_); change < kUnchanged) {
        if (change > 0) retakeProvisionalRows(frame, next);  // not for the very same picture
        return ScrollAppendResult::unchanged();
    }

    int top = top_, bottom = bottom_;
    if (!hasAppended_) {
        top = fixedBand(previous_, next, false);
        bottom = fixedBand(previous_, next, true);
    }
    const int usable = H - top - bottom;
    const int largest = usable - minimumOverlap(H);
    if (largest < 2) return ScrollAppendResult::unmatched();

    // Backward shifts: any at the start (it may run upwards), else only to crop the result.
    auto backwards = [&](int s) {
        return !hasAppended_ || (automaticCrop && height_ > H && s <= height_ - H);
    };
    std::vector<Candidate> coarse;
    coarse.reserve(std::size_t(largest) * 2);
    for (int s = 1; s <= largest; ++s) {
        coarse.push_back({s, previous_.score(next, s, top, bottom, kCoarseRows)});
        if (backwards(s))
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
    if (still < kMatch && (fine.empty() || still <= fine.front().score + kAmbiguity)) {
        retakeProvisionalRows(frame, next);
        return ScrollAppendResult::unchanged();
    }
    if (fine.empty() || !(fine.front().score < kMatch)) return ScrollAppendResult::unmatched();
    Candidate best = fine.front();
    for (const Candidate& c : fine) {
        if (std::abs(c.shift - best.shift) >= kAmbiguousDistance &&
            c.score <= best.score + kAmbiguity)
            return ScrollAppendResult::unmatched();
    }
    // The signature only proposes: the frames themselves must agree on the shift, pixel for
    // pixel, or this frame does not continue the last one (it may lie beyond it, the rows
    // between never seen). A shift a few rows off is put right on the way.
    // Beyond this many differing tiles no overlap of this size can hold.
    const int hopeless = kLocalTiles + (W + kTile - 1) / kTile * ((H + kTile - 1) / kTile) / 10;
    const int trustedEnd = H - bottom - provisional_;
    Agreement agreed =
        agreement(previousFrame_, frame, best.shift, top, bottom, trustedEnd, hopeless);
    if (agreed.differing > 0) {
        for (int d = -kNearbyShifts; d <= kNearbyShifts; ++d) {
            const int s = best.shift + d;
            if (d == 0 || std::abs(s) < 1 || std::abs(s) > largest || (s > 0) != (best.shift > 0) ||
                (s < 0 && !backwards(-s)))
                continue;
            const int enough = agreed.holds() ? agreed.differing - 1 : hopeless;
            const Agreement nearby =
                agreement(previousFrame_, frame, s, top, bottom, trustedEnd, enough);
            if (nearby.holds() && (!agreed.holds() || nearby.differing < agreed.differing))
                agreed = nearby, best.shift = s;
        }
    }
    if (!agreed.holds()) return ScrollAppendResult::unmatched();

    if (best.shift > 0) {
        const int s = best.shift;
        const long long newHeight = (long long)height_ + s;
        if (newHeight > maximumRows || W * newHeight > maximumPixels_)
            return ScrollAppendResult::limit();
        // The rows only the last frame had shown are taken again from this one, which shows them
        // as well: a frame caught while the window redrew leaves nothing of its own behind.
        const int retaken = std::min(provisional_, usable - s);
        const QImage strip = rows(frame, H - bottom - s - retaken, s + retaken);
        if (strip.isNull()) return ScrollAppendResult::unmatched();
        std::vector<QImage> pieces = pieces_;
        if (!hasAppended_ && bottom >= 1) {
            const QImage firstWithoutFooter = rows(pieces.front(), 0, H - bottom);
            if (firstWithoutFooter.isNull()) return ScrollAppendResult::unmatched();
            pieces.front() = firstWithoutFooter;
        }
        if (!dropLastRows(pieces, retaken)) return ScrollAppendResult::unmatched();
        pieces.push_back(strip);
        pieces_ = std::move(pieces);
        footer_ = bottom > 0 ? rows(frame, H - bottom, bottom) : QImage();
        top_ = top;
        bottom_ = bottom;
        hasAppended_ = true;
        height_ = int(newHeight);
        previous_ = next;
        previousFrame_ = frame;
        provisional_ = s;
        return ScrollAppendResult::appended(s);
    }

    if (!hasAppended_) {
        // The capture began by scrolling up: work on turned frames from now on, once.
        if (rerun || reverseDirection_) return ScrollAppendResult::unmatched();
        const QImage turned = reversedScrollImage(pieces_.front());
        if (turned.isNull()) return ScrollAppendResult::unmatched();
        reverseDirection_ = true;
        previous_ = ScrollSignature(turned);
        previousFrame_ = turned;
        pieces_ = {turned};
        return appendOnce(passed, automaticCrop, true);
    }

    // Scrolled back: cut the end of the result, never below one frame.
    const int newHeight = height_ + best.shift;
    if (newHeight < H) return ScrollAppendResult::unmatched();
    std::vector<QImage> pieces = pieces_;
    if (!dropLastRows(pieces, -best.shift)) return ScrollAppendResult::unmatched();
    pieces_ = std::move(pieces);
    height_ = newHeight;
    previous_ = next;
    previousFrame_ = frame;
    provisional_ = 0;
    footer_ = bottom_ > 0 ? rows(frame, H - bottom_, bottom_) : QImage();
    return ScrollAppendResult::cropped(-best.shift);
}

// The window redrawn in place (a frame caught mid-redraw set right): the rows only the last
// frame had shown are taken from this one.
void ScrollStitcher::retakeProvisionalRows(const QImage& frame, const ScrollSignature& next) {
    if (!hasAppended_ || provisional_ <= 0) return;
    const int from = viewportHeight_ - bottom_ - provisional_;
    const QImage strip = rows(frame, from, provisional_);
    std::vector<QImage> pieces = pieces_;
    if (strip.isNull() || !dropLastRows(pieces, provisional_)) return;
    pieces.push_back(strip);
    pieces_ = std::move(pieces);
    previous_ = next;
    previousFrame_ = frame;
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
