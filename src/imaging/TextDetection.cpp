#include "TextDetection.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
// vertical middles, an item joins the current row when its middle lies within half the smaller
// height of the row's first item's: the row's reference never drifts down a column. ("Same
// row" cannot be a sort order itself: it is not transitive.)
template <typename T, typename BoxOf>
std::vector<std::vector<T>> rowsOf(std::vector<T> items, BoxOf box) {
    std::stable_sort(items.begin(), items.end(), [&](const T& a, const T& b) {
        return box(a).center().y() < box(b).center().y();
    });
    std::vector<std::vector<T>> rows;
    for (T& item : items) {
        if (!rows.empty()) {
            const QRect& first = box(rows.back().front());
            const double tolerance = std::min(first.height(), box(item).height()) / 2.0;
            if (std::abs(first.center().y() - box(item).center().y()) <= tolerance) {
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
        const int w =
            std::clamp(int(std::ceil(48.0 * line.width() / line.height())), 8, maximumWidth);
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

QString decode(const float* probabilities, int steps, int classes, const QStringList& keys,
               double* confidence) {
    QString text;
    double least = 1;
    int kept = 0;
    int previous = -1;
    for (int t = 0; t < steps; ++t) {
        const float* p = probabilities + std::size_t(t) * classes;
        const int best = int(std::max_element(p, p + classes) - p);
        if (best != 0 && best != previous && best - 1 < keys.size()) {
            text += keys[best - 1];
            least = std::min(least, double(p[best]));
            ++kept;
        }
        previous = best;
    }
    if (confidence) *confidence = kept ? least : 0;
    return text;
}

QImage secondReaderInput(const QImage& line) {
    if (line.isNull()) return {};
    QImage gray = line.convertToFormat(QImage::Format_Grayscale8);
    qint64 sum = 0;
    for (int y = 0; y < gray.height(); ++y)
        for (int x = 0; x < gray.width(); ++x) sum += gray.constScanLine(y)[x];
    if (sum < qint64(128) * gray.width() * gray.height()) gray.invertPixels();
    const int margin = std::max(10, gray.height() / 2);
    QImage padded(gray.width() + 2 * margin, gray.height() + 2 * margin, QImage::Format_Grayscale8);
    if (padded.isNull()) return {};
    padded.fill(gray.pixelColor(0, 0));
    for (int y = 0; y < gray.height(); ++y)
        std::memcpy(padded.scanLine(y + margin) + margin, gray.constScanLine(y),
                    std::size_t(gray.width()));
    return padded;
}

std::vector<Piece> joinRows(std::vector<Piece> pieces) {
    std::vector<Piece> lines;
    for (auto& row :
         rowsOf(std::move(pieces), [](const Piece& p) -> const QRect& { return p.box; })) {
        Piece line = row.front();
        for (std::size_t i = 1; i < row.size(); ++i) {
            const int gap = row[i].box.left() - line.box.right();
            const int height = std::min(line.box.height(), row[i].box.height());
            // Far apart: side by side windows or columns, not one line.
            if (gap > 10 * height) {
                lines.push_back(std::move(line));
                line = row[i];
                continue;
            }
            if (gap > height) line.text += ' ';
            line.text += row[i].text;
            line.box = line.box.united(row[i].box);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace tessal::TextDetection
