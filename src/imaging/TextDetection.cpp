#include "TextDetection.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace tessal::TextDetection {
namespace {

constexpr float kMean[3] = {0.485f, 0.456f, 0.406f};
constexpr float kDeviation[3] = {0.229f, 0.224f, 0.225f};
constexpr float kBinaryThreshold = 0.3f;
constexpr double kBoxThreshold = 0.6;
constexpr double kUnclipRatio = 1.5;
constexpr int kMinimumSide = 3;

int roundUp32(int v) {
    return std::max(32, (v + 31) / 32 * 32);
}

// Items grouped into visual rows, top to bottom, each row left to right. Sorted by their
// vertical middles, an item joins the current row when its vertical extent overlaps the row's
// first item's by at least half the smaller height: a shorter box a little higher or lower (a
// time beside a message, a comma) stays on its row, and the row's reference never drifts down a
// column. ("Same row" cannot be a sort order itself: it is not transitive.)
template <typename T, typename BoxOf>
std::vector<std::vector<T>> rowsOf(std::vector<T> items, BoxOf box) {
    std::stable_sort(items.begin(), items.end(), [&](const T& a, const T& b) {
        return box(a).center().y() < box(b).center().y();
    });
    std::vector<std::vector<T>> rows;
    for (T& item : items) {
        if (!rows.empty()) {
            const QRect& first = box(rows.back().front());
            const QRect& next = box(item);
            const int overlap =
                std::min(first.bottom(), next.bottom()) - std::max(first.top(), next.top()) + 1;
            if (2 * overlap >= std::min(first.height(), next.height())) {
                rows.back().push_back(std::move(item));
                continue;
            }
        }
        rows.push_back({std::move(item)});
    }
    for (auto& row : rows)
        std::stable_sort(row.begin(), row.end(),
                         [&](const T& a, const T& b) { return box(a).x() < box(b).x(); });
    return rows;
}

// Scripts written without spaces between words.
bool isCjk(QChar c) {
    const ushort u = c.unicode();
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xAC00 && u <= 0xD7AF) ||
           (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) ||
           (u >= 0xFF00 && u <= 0xFFEF) || c.isSurrogate();
}

}  // namespace

Planes detectionInput(const QImage& image, int maximumSide) {
    Planes planes;
    if (image.isNull()) return planes;
    QImage source = image.convertToFormat(QImage::Format_RGB32);
    const double shrink =
        std::min(1.0, double(maximumSide) / std::max(source.width(), source.height()));
    const int w = roundUp32(int(std::lround(source.width() * shrink)));
    const int h = roundUp32(int(std::lround(source.height() * shrink)));
    if (w != source.width() || h != source.height())
        source = source.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    planes.width = w;
    planes.height = h;
    const std::size_t area = std::size_t(w) * h;
    planes.data.resize(area * 3);
    float* b = planes.data.data();
    float* g = b + area;
    float* r = g + area;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        const std::size_t at = std::size_t(y) * w;
        for (int x = 0; x < w; ++x) {
            b[at + x] = (qBlue(row[x]) / 255.0f - kMean[0]) / kDeviation[0];
            g[at + x] = (qGreen(row[x]) / 255.0f - kMean[1]) / kDeviation[1];
            r[at + x] = (qRed(row[x]) / 255.0f - kMean[2]) / kDeviation[2];
        }
    }
    return planes;
}

QRect contentRect(const QImage& source) {
    if (source.isNull()) return {};
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const QRgb plain = image.pixel(0, 0);
    const int w = image.width(), h = image.height();
    auto row = [&](int y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        return std::all_of(line, line + w, [plain](QRgb p) { return p == plain; });
    };
    int top = 0, bottom = h - 1;
    while (top <= bottom && row(top)) ++top;
    if (top > bottom) return {};
    while (bottom > top && row(bottom)) --bottom;
    auto column = [&](int x) {
        for (int y = top; y <= bottom; ++y)
            if (reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] != plain) return false;
        return true;
    };
    int left = 0, right = w - 1;
    while (left < right && column(left)) ++left;
    while (right > left && column(right)) --right;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

std::vector<QRect> boxes(const float* probability, int width, int height, QSize imageSize) {
    std::vector<QRect> found;
    if (!probability || width <= 0 || height <= 0 || imageSize.isEmpty()) return found;
    const std::size_t area = std::size_t(width) * height;
    std::vector<int> label(area, 0);
    std::vector<int> stack;
    const double sx = double(imageSize.width()) / width;
    const double sy = double(imageSize.height()) / height;
    int next = 0;
    for (int y0 = 0; y0 < height; ++y0) {
        for (int x0 = 0; x0 < width; ++x0) {
            const std::size_t start = std::size_t(y0) * width + x0;
            if (label[start] || probability[start] <= kBinaryThreshold) continue;
            // One region: 8-connected pixels over the threshold.
            ++next;
            int minX = x0, maxX = x0, minY = y0, maxY = y0;
            double sum = 0;
            long count = 0;
            label[start] = next;
            stack.assign(1, int(start));
            while (!stack.empty()) {
                const int at = stack.back();
                stack.pop_back();
                const int x = at % width, y = at / width;
                sum += probability[at];
                ++count;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
                        const std::size_t n = std::size_t(ny) * width + nx;
                        if (label[n] || probability[n] <= kBinaryThreshold) continue;
                        label[n] = next;
                        stack.push_back(int(n));
                    }
                }
            }
            const double w = maxX - minX + 1, h = maxY - minY + 1;
            if (std::min(w, h) < kMinimumSide || sum / count < kBoxThreshold) continue;
            const double grow = w * h * kUnclipRatio / (2 * (w + h));
            if (std::min(w, h) + 2 * grow < kMinimumSide + 2) continue;
            const QRectF grown(minX - grow, minY - grow, w + 2 * grow, h + 2 * grow);
            const QRect scaled =
                QRectF(grown.x() * sx, grown.y() * sy, grown.width() * sx, grown.height() * sy)
                    .toAlignedRect()
                    .intersected(QRect(QPoint(0, 0), imageSize));
            if (!scaled.isEmpty()) found.push_back(scaled);
        }
    }
    std::vector<QRect> ordered;
    ordered.reserve(found.size());
    for (auto& row : rowsOf(std::move(found), [](const QRect& r) -> const QRect& { return r; }))
        ordered.insert(ordered.end(), row.begin(), row.end());
    return ordered;
}

int readerWidth(QSize size, int maximumWidth) {
    if (size.isEmpty()) return 8;
    return std::clamp(int(std::ceil(48.0 * size.width() / size.height())), 8,
                      std::max(8, maximumWidth));
}

Planes readerInput(const std::vector<QImage>& lines, int maximumWidth) {
    Planes planes;
    planes.height = 48;
    std::vector<QImage> scaled;
    scaled.reserve(lines.size());
    for (const QImage& line : lines) {
        if (line.isNull() || line.height() <= 0) {
            scaled.emplace_back();
            continue;
        }
        const int w = readerWidth(line.size(), maximumWidth);
        scaled.push_back(line.convertToFormat(QImage::Format_RGB32)
                             .scaled(w, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        planes.width = std::max(planes.width, w);
    }
    planes.width = std::max(planes.width, 8);
    const std::size_t plane = std::size_t(planes.width) * 48;
    planes.data.assign(plane * 3 * lines.size(), 0.0f);
    for (std::size_t i = 0; i < scaled.size(); ++i) {
        const QImage& image = scaled[i];
        if (image.isNull()) continue;
        float* b = planes.data.data() + i * plane * 3;
        float* g = b + plane;
        float* r = g + plane;
        for (int y = 0; y < 48; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            const std::size_t at = std::size_t(y) * planes.width;
            for (int x = 0; x < image.width(); ++x) {
                b[at + x] = qBlue(row[x]) / 127.5f - 1.0f;
                g[at + x] = qGreen(row[x]) / 127.5f - 1.0f;
                r[at + x] = qRed(row[x]) / 127.5f - 1.0f;
            }
        }
    }
    return planes;
}

std::vector<int> inkColumns(const QImage& line) {
    if (line.isNull()) return {};
    const QImage gray = line.convertToFormat(QImage::Format_Grayscale8);
    const int w = gray.width(), h = gray.height();
    int count[256] = {};
    for (int x = 0; x < w; ++x) {
        ++count[gray.constScanLine(0)[x]];
        ++count[gray.constScanLine(h - 1)[x]];
    }
    const int ground = int(std::max_element(count, count + 256) - count);
    std::vector<int> ink(std::size_t(w), 0);
    for (int y = 0; y < h; ++y) {
        const uchar* row = gray.constScanLine(y);
        for (int x = 0; x < w; ++x) ink[std::size_t(x)] += std::abs(row[x] - ground) > 48;
    }
    return ink;
}

std::vector<Span> spans(const std::vector<int>& ink, int height, int maximumWidth,
                        int maximumPieces) {
    const int width = int(ink.size());
    if (width <= 0 || height <= 0) return {};
    // The widest piece, in the line's own columns, the reader takes without squeezing it.
    const int most = std::max(2, int(std::floor(double(maximumWidth) * height / 48.0)));
    std::vector<Span> found;
    int left = 0;
    while (left < width && int(found.size()) < maximumPieces) {
        if (width - left <= most) {
            found.push_back({left, width});
            break;
        }
        // The middle of the widest blank run in the piece's second half (the last of equals, for
        // fewer pieces); else its faintest column.
        const int from = left + most / 2, to = left + most;  // cut at a column in [from, to)
        int bestRun = 0, cut = -1, run = 0;
        for (int x = from; x <= to; ++x) {
            if (x < to && ink[std::size_t(x)] == 0) {
                ++run;
                continue;
            }
            if (run > 0 && run >= bestRun) {
                bestRun = run;
                cut = x - (run + 1) / 2;
            }
            run = 0;
        }
        if (cut < 0) {
            cut = from;
            for (int x = from; x < to; ++x)
                if (ink[std::size_t(x)] < ink[std::size_t(cut)]) cut = x;
        }
        found.push_back({left, cut + 1});
        left = cut + 1;
    }
    return found;
}

std::vector<Glyph> glyphs(const float* probabilities, int steps, int classes,
                          const QStringList& keys, double columnsPerStep, double* confidence) {
    std::vector<Glyph> found;
    double least = 1;
    int previous = -1;
    for (int t = 0; t < steps; ++t) {
        const float* p = probabilities + std::size_t(t) * classes;
        const int best = int(std::max_element(p, p + classes) - p);
        if (best != 0 && best != previous && best - 1 < keys.size()) {
            found.push_back({keys[best - 1], (t + 0.5) * columnsPerStep});
            least = std::min(least, double(p[best]));
        }
        previous = best;
    }
    if (confidence) *confidence = found.empty() ? 0 : least;
    return found;
}

QString decode(const float* probabilities, int steps, int classes, const QStringList& keys,
               double* confidence) {
    QString text;
    for (const Glyph& g : glyphs(probabilities, steps, classes, keys, 1, confidence))
        text += g.text;
    return text;
}

std::vector<Span> unreadInk(const std::vector<Glyph>& glyphs, const std::vector<int>& ink,
                            int height) {
    const int width = int(ink.size());
    height = std::max(height, 1);
    std::vector<double> at;
    for (const Glyph& g : glyphs)
        if (!g.text.trimmed().isEmpty() && std::isfinite(g.x) && std::abs(g.x) < 1e7)
            at.push_back(g.x);
    // A character's width: the glyphs' usual distance (spaces and gaps make a few far apart).
    double pitch = 0.8 * height;
    if (at.size() >= 2) {
        std::vector<double> steps;
        for (std::size_t i = 1; i < at.size(); ++i) steps.push_back(at[i] - at[i - 1]);
        std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
        pitch = std::clamp(steps[steps.size() / 2], 0.3 * height, 1.2 * height);
    }
    std::vector<bool> near(std::size_t(std::max(0, width)), false);
    for (double x : at)
        for (int c = std::max(0, int(std::ceil(x - 0.75 * pitch)));
             c <= std::min(width - 1, int(std::floor(x + 0.75 * pitch))); ++c)
            near[std::size_t(c)] = true;
    const int heavy = std::max(2, int(std::ceil(0.2 * height)));
    const int solid = int(std::ceil(0.6 * height));
    std::vector<Span> gaps;
    int from = -1, to = -1, inked = 0, heavies = 0, solids = 0;
    for (int x = 0; x <= width; ++x) {
        if (x == width || near[std::size_t(x)]) {
            // A block of colour (a list's icon) fills nearly every column it covers; a
            // character leaves most of them half empty.
            if (from >= 0 && heavies >= pitch / 3 && to - from + 1 >= pitch / 2 &&
                solids < 0.8 * inked)
                gaps.push_back({from, to + 1});
            from = to = -1;
            inked = heavies = solids = 0;
        } else if (const int column = ink[std::size_t(x)]; column > 0) {
            if (from < 0) from = x;
            to = x;
            ++inked;
            heavies += column >= heavy;
            solids += column >= solid;
        }
    }
    return gaps;
}

std::vector<Glyph> filledIn(std::vector<Glyph> first, const std::vector<Glyph>& second,
                            const std::vector<Span>& gaps) {
    for (const Glyph& g : second) {
        if (g.text.isEmpty() || !isCjk(g.text.front())) continue;
        const bool inGap = std::any_of(gaps.begin(), gaps.end(), [&](const Span& gap) {
            return g.x >= gap.left && g.x < gap.right;
        });
        if (!inGap) continue;
        const auto place =
            std::find_if(first.begin(), first.end(), [&](const Glyph& f) { return f.x > g.x; });
        first.insert(place, g);
    }
    return first;
}

namespace {

bool latin(char32_t c) {
    return QChar::script(c) == QChar::Script_Latin;
}

bool digit(char32_t c) {
    return c >= '0' && c <= '9';
}

// The first or last character of a glyph (0 for none or a space).
char32_t edge(const Glyph* g, bool last) {
    if (!g) return 0;
    const QList<uint> text = g->text.trimmed().toUcs4();
    return text.isEmpty() ? 0 : char32_t(last ? text.back() : text.front());
}

}  // namespace

std::vector<Glyph> latinPunctuation(std::vector<Glyph> glyphs) {
    const bool chinese = std::any_of(glyphs.begin(), glyphs.end(), [](const Glyph& g) {
        const QList<uint> text = g.text.toUcs4();
        return std::any_of(text.begin(), text.end(),
                           [](uint c) { return QChar::script(char32_t(c)) == QChar::Script_Han; });
    });
    // The Chinese forms the reader gives for ASCII marks.
    static const std::pair<char16_t, char> forms[] = {
        {0xFF1A, ':'}, {0xFF0E, '.'}, {0xFF1B, ';'},  {0xFF01, '!'},  {0xFF1F, '?'}, {0xFF0C, ','},
        {0xFF08, '('}, {0xFF09, ')'}, {0x2018, '\''}, {0x2019, '\''}, {0x201C, '"'}, {0x201D, '"'}};
    auto ascii = [](const Glyph& g) -> char {
        if (g.text.size() != 1) return 0;
        for (const auto& [chineseForm, form] : forms)
            if (g.text.front().unicode() == chineseForm) return form;
        return 0;
    };
    // The glyph next to glyph i on one side, none across a space the reader saw.
    auto beside = [&](std::size_t i, int side) -> const Glyph* {
        const long j = long(i) + side;
        if (j < 0 || j >= long(glyphs.size()) || glyphs[std::size_t(j)].text.trimmed().isEmpty())
            return nullptr;
        return &glyphs[std::size_t(j)];
    };
    std::vector<char> to(glyphs.size(), 0);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const char form = ascii(glyphs[i]);
        if (!form) continue;
        const char32_t before = edge(beside(i, -1), true), after = edge(beside(i, 1), false);
        const char16_t mark = glyphs[i].text.front().unicode();
        if (!chinese || (mark == 0x2019 && latin(before) && latin(after)) ||
            ((mark == 0xFF1A || mark == 0xFF0E) && digit(before) && digit(after)) ||
            (mark == 0xFF0E && latin(before)))
            to[i] = form;
    }
    // Single quotes around Latin text only ('python' in a terminal's Chinese message); Chinese
    // prose quotes with double ones, and those stay.
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        if (glyphs[i].text != QString(QChar(0x2018))) continue;
        for (std::size_t j = i + 1; j < glyphs.size(); ++j) {
            const QList<uint> text = glyphs[j].text.toUcs4();
            if (glyphs[j].text == QString(QChar(0x2019))) {
                if (j > i + 1) to[i] = to[j] = '\'';
                break;
            }
            if (std::any_of(text.begin(), text.end(), [](uint c) { return c >= 0x80; })) break;
        }
    }
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        if (to[i]) glyphs[i].text = QString(QLatin1Char(to[i]));
    return glyphs;
}

QString spelled(const std::vector<Glyph>& read, const std::vector<int>& ink, int height,
                const std::vector<Span>& pieces) {
    const std::vector<Glyph> found = latinPunctuation(read);
    const int width = int(ink.size());
    auto widestBlank = [&](double from, double to) {
        int widest = 0, run = 0;
        for (int x = std::max(0, int(std::floor(from))); x < std::min(width, int(std::ceil(to)));
             ++x) {
            run = ink[std::size_t(x)] == 0 ? run + 1 : 0;
            widest = std::max(widest, run);
        }
        return widest;
    };
    // The blank between each glyph and the one before (−1 where no image gap can make a space:
    // the first, a space, one after the reader's space, between two CJK characters); and the
    // blanks where the reader saw a space.
    std::vector<int> gap(found.size(), -1);
    std::vector<int> letterGaps, spaceGaps;
    const Glyph* last = nullptr;
    bool readerSpace = false;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const Glyph& g = found[i];
        if (g.text.trimmed().isEmpty()) {
            readerSpace = last != nullptr;
            continue;
        }
        if (last && readerSpace) spaceGaps.push_back(widestBlank(last->x, g.x));
        if (last && !readerSpace && !(isCjk(last->text.back()) && isCjk(g.text.front()))) {
            gap[i] = widestBlank(last->x, g.x);
            letterGaps.push_back(gap[i]);
        }
        last = &g;
        readerSpace = false;
    }
    auto median = [](std::vector<int> v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    };
    // A word space: an eighth of the line's height (the detector's boxes are about 1.3 times as
    // high as the text, a space is about a quarter of its size) and well over the line's usual
    // gap between letters. Where the reader saw spaces in the line, near as wide as those: in a
    // monospaced face narrow letters leave gaps nearly as wide as a proportional face's spaces.
    // Where two pieces meet the reader saw neither side: the first two rules alone.
    const double wordSpace = std::max(height / 8.0, 2.5 * median(letterGaps));
    const double withinPiece = std::max(wordSpace, 0.75 * median(spaceGaps));
    QString text;
    bool space = false;
    last = nullptr;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const Glyph& g = found[i];
        if (g.text.trimmed().isEmpty()) {
            space = !text.isEmpty();
            continue;
        }
        if (gap[i] >= 0 && !space) {
            const bool cut = std::any_of(pieces.begin(), pieces.end(), [&](const Span& s) {
                return s.right > last->x && s.right <= g.x;
            });
            space = gap[i] >= (cut ? wordSpace : withinPiece);
        }
        if (space) text += QLatin1Char(' ');
        text += g.text;
        last = &g;
        space = false;
    }
    if (!pieces.empty() && pieces.back().right < width &&
        std::any_of(ink.begin() + pieces.back().right, ink.end(), [](int n) { return n > 0; }))
        text += QChar(0x2026);
    return text;
}

std::vector<Span> detectionTiles(int width, int maximumSide, int overlap) {
    if (width <= 0) return {};
    const int step = std::max(1, maximumSide - std::clamp(overlap, 0, maximumSide / 2));
    std::vector<Span> tiles;
    for (int left = 0;; left += step) {
        tiles.push_back({left, std::min(width, left + maximumSide)});
        if (tiles.back().right == width) break;
    }
    return tiles;
}

std::vector<QRect> tidiedBoxes(std::vector<QRect> boxes, const QImage& image) {
    // Pieces of one line (the detector breaks small text at wide gaps, and each piece is grown
    // into its neighbours) are one box.
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < boxes.size() && !merged; ++i)
            for (std::size_t j = i + 1; j < boxes.size() && !merged; ++j) {
                const QRect& a = boxes[i];
                const QRect& b = boxes[j];
                // One row: their middles within a third of the smaller box's height (the next
                // row's lie a line apart).
                const int middles = std::abs((a.top() + a.bottom()) - (b.top() + b.bottom()));
                if (a.left() > b.right() || b.left() > a.right() ||
                    3 * middles > 2 * std::min(a.height(), b.height()))
                    continue;
                boxes[i] = a.united(b);
                boxes.erase(boxes.begin() + long(j));
                merged = true;
            }
    }
    if (image.isNull()) return boxes;
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    for (QRect& upper : boxes)
        for (QRect& lower : boxes) {
            // Two rows, the upper one reaching into the lower (a box within another is none).
            if (&upper == &lower || upper.top() >= lower.top() || upper.bottom() < lower.top() ||
                upper.bottom() >= lower.bottom())
                continue;
            const int left = std::max(upper.left(), lower.left());
            const int right = std::min(upper.right(), lower.right());
            // Of one column of text (side by side they share little width). The cut lies
            // between their middles.
            const int top = std::max(lower.top(), upper.center().y());
            const int bottom = std::min(upper.bottom(), lower.center().y());
            if (right - left + 1 < std::min(upper.width(), lower.width()) / 2 || top > bottom)
                continue;
            const QRect band =
                QRect(left, top, right - left + 1, bottom - top + 1).intersected(gray.rect());
            if (band.isEmpty()) continue;
            int count[256] = {};
            for (int y = band.top(); y <= band.bottom(); ++y)
                for (int x = band.left(); x <= band.right(); ++x) ++count[gray.constScanLine(y)[x]];
            const int ground = int(std::max_element(count, count + 256) - count);
            // The row between the two lines with the least ink, the middle one of equals.
            int least = std::numeric_limits<int>::max();
            std::vector<int> ink;
            for (int y = band.top(); y <= band.bottom(); ++y) {
                int n = 0;
                const uchar* row = gray.constScanLine(y);
                for (int x = band.left(); x <= band.right(); ++x)
                    n += std::abs(row[x] - ground) > 48;
                ink.push_back(n);
                least = std::min(least, n);
            }
            std::vector<int> faintest;
            for (int y = band.top(); y <= band.bottom(); ++y)
                if (ink[std::size_t(y - band.top())] == least) faintest.push_back(y);
            const int cut = faintest[faintest.size() / 2];
            upper.setBottom(std::max(upper.top(), cut));
            lower.setTop(std::min(lower.bottom(), cut));
        }
    return boxes;
}

std::vector<QRect> unitedBoxes(const std::vector<std::vector<QRect>>& tiles) {
    std::vector<QRect> all;
    for (std::size_t t = 0; t < tiles.size(); ++t) {
        std::vector<QRect> next = tiles[t];
        // Each box of the tile before that meets one of this tile's is grown into it.
        for (QRect& box : all) {
            for (auto it = next.begin(); it != next.end();) {
                const int overlap =
                    std::min(box.bottom(), it->bottom()) - std::max(box.top(), it->top()) + 1;
                const bool sameRow = overlap * 2 >= std::min(box.height(), it->height());
                if (sameRow && box.left() <= it->right() && it->left() <= box.right()) {
                    box = box.united(*it);
                    it = next.erase(it);
                } else {
                    ++it;
                }
            }
        }
        all.insert(all.end(), next.begin(), next.end());
    }
    std::sort(all.begin(), all.end(), [](const QRect& a, const QRect& b) {
        return std::pair(a.top(), a.left()) < std::pair(b.top(), b.left());
    });
    return all;
}

int secondReaderMargin(int lineHeight) {
    return std::max(10, lineHeight / 2);
}

QImage secondReaderInput(const QImage& line) {
    if (line.isNull()) return {};
    QImage gray = line.convertToFormat(QImage::Format_Grayscale8);
    qint64 sum = 0;
    for (int y = 0; y < gray.height(); ++y)
        for (int x = 0; x < gray.width(); ++x) sum += gray.constScanLine(y)[x];
    if (sum < qint64(128) * gray.width() * gray.height()) gray.invertPixels();
    const int margin = secondReaderMargin(gray.height());
    QImage padded(gray.width() + 2 * margin, gray.height() + 2 * margin, QImage::Format_Grayscale8);
    if (padded.isNull()) return {};
    padded.fill(gray.pixelColor(0, 0));
    for (int y = 0; y < gray.height(); ++y)
        std::memcpy(padded.scanLine(y + margin) + margin, gray.constScanLine(y),
                    std::size_t(gray.width()));
    return padded;
}

std::vector<ScriptChoice> scriptChoices(const std::vector<Leaning>& lines) {
    std::vector<ScriptChoice> choices(lines.size(), ScriptChoice::keep);
    const int count = int(lines.size());
    int allTraditional = 0, allSimplified = 0;
    for (const Leaning& line : lines) {
        allTraditional += line.traditional;
        allSimplified += line.simplified;
    }
    for (int i = 0; i < count; ++i) {
        const Leaning& line = lines[std::size_t(i)];
        // The whole image counts a quarter as much as the neighbourhood.
        int traditional = allTraditional / 4, simplified = allSimplified / 4;
        for (int j = std::max(0, i - 2); j <= std::min(count - 1, i + 2); ++j) {
            traditional += lines[std::size_t(j)].traditional;
            simplified += lines[std::size_t(j)].simplified;
        }
        const bool unsure = line.confidence < 0.9;
        ScriptChoice& choice = choices[std::size_t(i)];
        if (traditional > simplified) {
            if (line.simplified > 0 || (unsure && line.chinese)) choice = ScriptChoice::readAgain;
        } else if (simplified > 0) {
            if (line.traditional > line.simplified)
                choice = unsure ? ScriptChoice::readAgain : ScriptChoice::keep;
            else if (line.traditional > 0)
                choice = ScriptChoice::simplify;
        }
        if (choice == ScriptChoice::keep && line.unread)
            choice = traditional > simplified ? ScriptChoice::readAgain : ScriptChoice::fillIn;
    }
    return choices;
}

QString merged(const QString& first, const QString& second,
               const std::function<QString(const QString&)>& simplifiedOf,
               const std::function<QString(const QString&)>& traditionalOf,
               const std::function<bool(const QString&)>& firstKnows) {
    const QList<uint> a = first.toUcs4(), b = second.toUcs4();
    const auto text = [](uint c) {
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
    };
    const std::size_t n = std::size_t(a.size()), m = std::size_t(b.size());
    std::vector<QString> mine, mineSimplified, theirs, theirsSimplified;
    for (uint c : a) {
        mine.push_back(text(c));
        mineSimplified.push_back(simplifiedOf(mine.back()));
    }
    for (uint c : b) {
        theirs.push_back(text(c));
        theirsSimplified.push_back(simplifiedOf(theirs.back()));
    }
    // Two traditional forms of one simplified character (復, 複 of 复) are one character read
    // two ways: the second reader, which knows them all, tells them apart.
    const auto same = [&](std::size_t i, std::size_t j) {
        return mine[i] == theirs[j] || theirsSimplified[j] == mineSimplified[i];
    };
    // cost[i][j]: aligning a[i…] with b[j…].
    std::vector<int> cost((n + 1) * (m + 1), 0);
    auto at = [&](std::size_t i, std::size_t j) -> int& { return cost[i * (m + 1) + j]; };
    for (std::size_t i = n + 1; i-- > 0;)
        for (std::size_t j = m + 1; j-- > 0;) {
            if (i == n || j == m) {
                at(i, j) = int(n - i + m - j);
                continue;
            }
            at(i, j) = std::min(
                {at(i + 1, j + 1) + (same(i, j) ? 0 : 1), at(i + 1, j) + 1, at(i, j + 1) + 1});
        }
    QString out;
    std::size_t i = 0, j = 0;
    // Where a substitution costs what a gap does, the substitution: two readings of one
    // character are not two characters.
    while (i < n || j < m) {
        if (i < n && j < m && at(i, j) == at(i + 1, j + 1) + (same(i, j) ? 0 : 1)) {
            const bool theirsWins = same(i, j) || !firstKnows(theirs[j]);
            out += theirsWins ? theirs[j] : traditionalOf(mine[i]);
            ++i;
            ++j;
        } else if (j < m && (i == n || at(i, j) == at(i, j + 1) + 1)) {
            if (isCjk(theirs[j].front())) out += theirs[j];
            ++j;
        } else {
            out += traditionalOf(mine[i]);
            ++i;
        }
    }
    return out;
}

namespace {

// One row's pieces (left to right) as one line.
Piece joined(const std::vector<Piece>& row) {
    Piece line = row.front();
    for (std::size_t i = 1; i < row.size(); ++i) {
        const Piece& next = row[i];
        if (next.text.isEmpty()) continue;
        const int gap = next.box.left() - line.box.right() - 1;
        const int height = std::max(line.box.height(), next.box.height());
        const bool cjk =
            !line.text.isEmpty() && isCjk(line.text.back()) && isCjk(next.text.front());
        if (!line.text.isEmpty() && (!cjk || gap >= height)) line.text += QLatin1Char(' ');
        line.text += next.text;
        line.box = line.box.united(next.box);
    }
    return line;
}

// The widest blank band at least `least` wide between the x-extents in `covered` (sorted by
// left edge), as [left, right); empty when there is none.
std::pair<int, int> widestBand(std::vector<std::pair<int, int>> covered, int least) {
    std::sort(covered.begin(), covered.end());
    std::pair<int, int> best{0, 0};
    int reach = covered.empty() ? 0 : covered.front().second;
    for (std::size_t i = 1; i < covered.size(); ++i) {
        if (covered[i].first - reach >= std::max(least, best.second - best.first))
            best = {reach, covered[i].first};
        reach = std::max(reach, covered[i].second);
    }
    return best;
}

constexpr int kColumnRows = 3;  // consecutive rows a blank band must run through
constexpr int kDeepest = 16;    // column boundaries within column boundaries

void order(std::vector<Piece> pieces, int depth, std::vector<Piece>* lines) {
    const std::vector<std::vector<Piece>> rows =
        rowsOf(std::move(pieces), [](const Piece& p) -> const QRect& { return p.box; });
    std::size_t i = 0;
    while (i < rows.size()) {
        // The longest run of rows from this one with a blank band a height wide through it.
        std::vector<std::pair<int, int>> covered;
        int height = std::numeric_limits<int>::max();
        std::size_t end = i;  // one past the last row of the run
        std::pair<int, int> band{0, 0};
        for (std::size_t j = i; depth < kDeepest && j < rows.size(); ++j) {
            for (const Piece& p : rows[j]) {
                covered.emplace_back(p.box.left(), p.box.right() + 1);
                height = std::min(height, p.box.height());
            }
            const std::pair<int, int> found = widestBand(covered, height);
            if (found.second > found.first) {
                band = found;
                end = j + 1;
            } else if (j > i) {
                break;
            }
        }
        // A band under two heights parts columns only where most rows are not paired across it
        // (two text flows whose lines do not line up); text lined up on both sides of a narrow band
        // is a form or a table, read row by row.
        const auto paired =
            std::count_if(rows.begin() + i, rows.begin() + end, [&](const auto& row) {
                const Piece* left = nullptr;
                const Piece* right = nullptr;
                for (const Piece& p : row) {
                    if (p.box.right() < band.first) left = &p;
                    if (!right && p.box.left() >= band.second) right = &p;
                }
                return left && right &&
                       std::abs(left->box.center().y() - right->box.center().y()) <=
                           std::max(2, height / 8);
            });
        // A column holds text in more than one row: a single piece beyond the band is the end of
        // its row (a listing's wide run of cells over short rows), not a column.
        const auto rowsWith = [&](auto side) {
            return std::count_if(rows.begin() + i, rows.begin() + end, [&](const auto& row) {
                return std::any_of(row.begin(), row.end(), side);
            });
        };
        const auto leftRows = rowsWith([&](const Piece& p) { return p.box.right() < band.first; });
        const auto rightRows =
            rowsWith([&](const Piece& p) { return p.box.left() >= band.second; });
        const bool boundary =
            end - i >= std::size_t(kColumnRows) && leftRows >= 2 && rightRows >= 2 &&
            (band.second - band.first >= 2 * height || 2 * std::size_t(paired) <= end - i);
        if (!boundary) {
            lines->push_back(joined(rows[i]));
            ++i;
            continue;
        }
        std::vector<Piece> left, right;
        for (std::size_t j = i; j < end; ++j)
            for (const Piece& p : rows[j])
                (p.box.right() < band.second ? left : right).push_back(p);
        order(std::move(left), depth + 1, lines);
        order(std::move(right), depth + 1, lines);
        i = end;
    }
}

}  // namespace

std::vector<Piece> joinRows(std::vector<Piece> pieces) {
    std::vector<Piece> lines;
    order(std::move(pieces), 0, &lines);
    return lines;
}

}  // namespace tessal::TextDetection
