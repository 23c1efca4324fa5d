#include "CanvasRenderer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <cmath>

#include "CanvasModel.h"
#include "NamedColors.h"
#include "imaging/PngEncoder.h"
#include "imaging/PrivacyFilters.h"

namespace tessal {
namespace {

// Draws `image` into the y-up rectangle r of a y-up painter, upright.
void drawImageUpright(QPainter& painter, const Rect& r, const QImage& image) {
    painter.save();
    painter.translate(r.minX(), r.maxY());
    painter.scale(1, -1);
    painter.drawImage(QRectF(0, 0, r.width(), r.height()), image);
    painter.restore();
}

// Text whose lower-left corner is at `origin` (y up), lines top to bottom.
void drawText(QPainter& painter, Point origin, const QString& text, const QFont& font,
              const QColor& colour) {
    const Size size = measureText(text, font);
    const QFontMetricsF metrics(font);
    painter.save();
    painter.translate(origin.x, origin.y + size.height);
    painter.scale(1, -1);
    painter.setFont(font);
    painter.setPen(colour);
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QPointF(0, metrics.ascent() + i * metrics.lineSpacing()), lines[i]);
    painter.restore();
}

void drawNumber(QPainter& painter, const Mark& mark) {
    if (mark.points.empty()) return;
    const double radius = badgeRadius(mark.fontSize);
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark.color);
    painter.drawPath(mark.path());
    const QColor srgb = mark.color.isValid() ? mark.color.toRgb() : QColor(Qt::black);
    const double luminance = 0.299 * srgb.redF() + 0.587 * srgb.greenF() + 0.114 * srgb.blueF();
    const QString label = QString::number(mark.number);
    QFont font;
    font.setWeight(QFont::DemiBold);
    int size = std::max(1, int(std::lround(mark.fontSize)));
    font.setPixelSize(size);
    while (QFontMetricsF(font).horizontalAdvance(label) > 0.78 * 2 * radius && size > 6) {
        font.setPixelSize(--size);
    }
    const QFontMetricsF metrics(font);
    const Rect b = mark.bounds();
    const double w = metrics.horizontalAdvance(label);
    const double h = metrics.height();
    const Point origin{b.midX() - w / 2, b.midY() - h / 2};
    painter.save();
    painter.translate(origin.x, origin.y + h);
    painter.scale(1, -1);
    painter.setFont(font);
    painter.setPen(luminance > 0.65 ? Qt::black : Qt::white);
    painter.drawText(QPointF(0, metrics.ascent()), label);
    painter.restore();
}

void drawPrivacy(QPainter& painter, const CanvasModel& canvas, const Mark& mark) {
    const Point origin = canvas.annotationOrigin();
    const Rect bounds = canvas.bounds();
    const Rect r = mark.bounds().offsetBy(-origin.x, -origin.y).intersected(bounds);
    if (r.isNull() || r.width() < 1 || r.height() < 1) return;

    auto pixelRect = [&](double pw, double ph) {
        const double sx = pw / bounds.width(), sy = ph / bounds.height(), H = bounds.height();
        const double x0 = std::floor(sx * r.minX()), x1 = std::ceil(sx * r.maxX());
        const double y0 = std::floor(sy * (H - r.maxY())), y1 = std::ceil(sy * (H - r.minY()));
        return QRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0))
            .intersected(QRect(0, 0, int(pw), int(ph)));
    };
    const QRect k = pixelRect(canvas.pixelWidth(), canvas.pixelHeight());
    const double strength = mark.isMosaicBrush() ? 1.5 : mark.width;
    const QString key = QStringLiteral("%1:%2:%3,%4,%5,%6")
                            .arg(int(mark.tool))
                            .arg(strength)
                            .arg(k.x())
                            .arg(k.y())
                            .arg(k.width())
                            .arg(k.height());

    CanvasModel::PrivacyCache& cache = canvas.privacyCache();
    QImage piece;
    if (auto it = cache.pieces.find(key); it != cache.pieces.end()) {
        piece = it->second;
    } else {
        const QImage& bitmap = canvas.image();
        if (!bitmap.isNull()) {
            const QRect p = pixelRect(bitmap.width(), bitmap.height());
            const double scale = bitmap.width() / bounds.width();
            const double amount = std::max(8 * strength, 12.0) * scale;
            piece = mark.tool == Tool::blur
                        ? gaussianBlur(bitmap, p, amount / 2)
                        : pixellate(bitmap, p, std::max(1, int(std::lround(amount))));
        }
        if (!piece.isNull()) {
            const long long n = static_cast<long long>(piece.width()) * piece.height();
            if (int(cache.pieces.size()) >= CanvasRenderer::privacyCacheEntries ||
                cache.pixels + n > CanvasRenderer::privacyCachePixels) {
                cache.pieces.clear();
                cache.pixels = 0;
            }
            if (n <= CanvasRenderer::privacyCachePixels) {
                cache.pieces[key] = piece;
                cache.pixels += n;
            }
        }
    }

    const Rect target = r.offsetBy(origin.x, origin.y);
    painter.save();
    if (mark.isMosaicBrush()) painter.setClipPath(mark.brushMask(), Qt::IntersectClip);
    if (piece.isNull())
        painter.fillRect(QRectF(target.minX(), target.minY(), target.width(), target.height()),
                         Qt::black);
    else
        drawImageUpright(painter, target, piece);
    painter.restore();
}

void drawDecoration(QPainter& painter, const Mark& mark) {
    const QColor accent = NamedColor::accent();
    const Rect frame = mark.bounds().insetBy(-6, -6);
    QPen dashed(accent, 1);
    dashed.setDashPattern({4, 3});
    painter.save();
    painter.setPen(dashed);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(frame.minX(), frame.minY(), frame.width(), frame.height()), 3,
                            3);
    painter.setPen(QPen(accent, 1));
    painter.setBrush(Qt::white);
    if (mark.tool == Tool::arrow) {
        for (Point p : mark.points) painter.drawEllipse(QPointF(p.x, p.y), 4, 4);
    } else if (mark.canResize()) {
        for (SelectionHandle h : allSelectionHandles) {
            if (auto p = mark.handlePoint(h)) painter.drawRect(QRectF(p->x - 3, p->y - 3, 6, 6));
        }
    }
    painter.restore();
}

// Sets the painter to annotation coordinates (y up) inside the canvas bounds.
void enterAnnotationSpace(QPainter& painter, const CanvasModel& canvas) {
    const Size size = canvas.size();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRect(QRectF(0, 0, size.width, size.height));
    painter.translate(0, size.height);
    painter.scale(1, -1);
    painter.translate(-canvas.annotationOrigin().x, -canvas.annotationOrigin().y);
}

// The committed marks from `first` up to (not including) `last`, skipping `hidden`.
void drawMarks(QPainter& painter, const CanvasModel& canvas, int first, int last,
               std::optional<int> hidden) {
    const auto& marks = canvas.marks();
    painter.save();
    enterAnnotationSpace(painter, canvas);
    for (int i = first; i < last; ++i)
        if (i != hidden) CanvasRenderer::drawMark(painter, canvas, marks[i]);
    painter.restore();
}

void drawImage(QPainter& painter, const CanvasModel& canvas) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(0, 0, canvas.size().width, canvas.size().height), canvas.image());
}

void drawGesture(QPainter& painter, const CanvasModel& canvas) {
    painter.save();
    enterAnnotationSpace(painter, canvas);
    if (canvas.draft()) CanvasRenderer::drawMark(painter, canvas, *canvas.draft());
    if (const Mark* selected = canvas.selectedMark()) drawDecoration(painter, *selected);
    painter.restore();
}

// Image and marks; the painter is in y-down canvas coordinates.
void paintCanvas(QPainter& painter, const CanvasModel& canvas, bool onScreen) {
    drawImage(painter, canvas);
    const std::optional<int> hidden =
        onScreen && canvas.textField() ? canvas.textIndex() : std::nullopt;
    drawMarks(painter, canvas, 0, int(canvas.marks().size()), hidden);
    if (onScreen) drawGesture(painter, canvas);
}

QImage layer(const CanvasModel& canvas, double scale, bool opaque) {
    QImage image(int(std::ceil(canvas.size().width * scale)),
                 int(std::ceil(canvas.size().height * scale)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(opaque ? Qt::black : Qt::transparent);
    return image;
}

void paintCached(QPainter& painter, const CanvasModel& canvas, CanvasRenderer::LayerCache& cache) {
    const double scale = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const std::optional<int> hidden = canvas.textField() ? canvas.textIndex() : std::nullopt;
    const std::optional<int> excluded = canvas.draggedIndex();
    const int count = int(canvas.marks().size());
    if (!cache.valid || cache.version != canvas.marksVersion() || cache.excluded != excluded ||
        cache.hidden != hidden || !(cache.size == canvas.size()) ||
        !(cache.origin == canvas.annotationOrigin()) || cache.scale != scale) {
        const int split = excluded ? std::clamp(*excluded, 0, count) : count;
        cache.below = layer(canvas, scale, true);
        {
            QPainter p(&cache.below);
            drawImage(p, canvas);
            drawMarks(p, canvas, 0, split, hidden);
        }
        cache.above = QImage();
        if (excluded && split + 1 < count) {
            cache.above = layer(canvas, scale, false);
            QPainter p(&cache.above);
            drawMarks(p, canvas, split + 1, count, hidden);
        }
        cache.version = canvas.marksVersion();
        cache.excluded = excluded;
        cache.hidden = hidden;
        cache.size = canvas.size();
        cache.origin = canvas.annotationOrigin();
        cache.scale = scale;
        cache.valid = true;
    }
    painter.drawImage(QPointF(0, 0), cache.below);
    if (excluded && *excluded < count && excluded != hidden)
        drawMarks(painter, canvas, *excluded, *excluded + 1, std::nullopt);
    if (!cache.above.isNull()) painter.drawImage(QPointF(0, 0), cache.above);
    drawGesture(painter, canvas);
}

// The filled outline of a round-capped, round-joined stroke along the mark's path, from the
// canvas's cache. Filling it gives the stroke's pixels (each covered once, so a translucent
// highlight does not darken where it crosses itself).
const QPainterPath& strokeOutline(const CanvasModel& canvas, const Mark& mark) {
    std::vector<double> key;
    key.reserve(mark.points.size() * 2 + 1);
    key.push_back(mark.paintWidth());
    for (const Point& p : mark.points) {
        key.push_back(p.x);
        key.push_back(p.y);
    }
    auto& outlines = canvas.strokeCache().outlines;
    if (auto found = outlines.find(key); found != outlines.end()) return found->second;
    if (outlines.size() >= 1024) outlines.clear();  // shapes of many edits ago
    QPainterPathStroker stroker;
    stroker.setWidth(mark.paintWidth());
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    // Fine enough for the largest scale a canvas is shown or exported at.
    stroker.setCurveThreshold(0.02);
    return outlines.emplace(std::move(key), stroker.createStroke(mark.path()).simplified())
        .first->second;
}

}  // namespace

void CanvasRenderer::drawMark(QPainter& painter, const CanvasModel& canvas, const Mark& mark) {
    if (mark.tool == Tool::mosaic || mark.tool == Tool::blur) {
        drawPrivacy(painter, canvas, mark);
        return;
    }
    painter.save();
    QPen pen(mark.color, mark.paintWidth(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (mark.tool) {
        case Tool::rectangle:
        case Tool::ellipse:
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(mark.path());
            break;
        case Tool::pen:
            painter.setPen(Qt::NoPen);
            painter.setBrush(mark.color);
            painter.drawPath(strokeOutline(canvas, mark));
            break;
        case Tool::highlight: {
            QColor fill = mark.color;
            fill.setAlphaF(0.28);
            CanvasRenderer::fillTranslucent(painter, strokeOutline(canvas, mark), fill);
            break;
        }
        case Tool::arrow:
            painter.setPen(Qt::NoPen);
            painter.setBrush(mark.color);
            painter.drawPath(mark.path());
            break;
        case Tool::text:
            if (!mark.points.empty())
                drawText(painter, mark.points.front(), mark.text, mark.textFont(), mark.color);
            break;
        case Tool::number:
            drawNumber(painter, mark);
            break;
        default:
            break;
    }
    painter.restore();
}

// Qt hands a translucent fill of more than a few dozen spans to its thread pool, and on a small
// machine waking the pool costs more than the fill (a highlight: ~150 µs instead of ~15). So the
// path is filled into a layer of its own aligned with the device pixels, in Source mode (which Qt
// runs inline), and the layer is blended onto the target as a plainly translated image.
void CanvasRenderer::fillTranslucent(QPainter& painter, const QPainterPath& path,
                                     const QColor& colour) {
    const QTransform toDevice = painter.deviceTransform();
    // What the painter adds below its world transform: the device pixel ratio, a widget's offset.
    bool invertible = false;
    const QTransform below = painter.worldTransform().inverted(&invertible) * toDevice;
    const QTransform belowInverse = below.inverted(&invertible);
    QRect box = toDevice.mapRect(path.boundingRect()).toAlignedRect();
    if (const QPaintDevice* device = painter.device())
        box &= below.mapRect(QRectF(0, 0, device->width(), device->height())).toAlignedRect();
    if (box.isEmpty()) return;
    QImage layer;
    if (invertible && toDevice.type() <= QTransform::TxScale &&
        below.type() <= QTransform::TxScale && qint64(box.width()) * box.height() <= 4'000'000)
        layer = QImage(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) {  // rotated, huge, or out of memory: Qt's own way
        painter.fillPath(path, colour);
        return;
    }
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        layerPainter.setRenderHints(painter.renderHints());
        layerPainter.setCompositionMode(QPainter::CompositionMode_Source);
        layerPainter.setTransform(toDevice * QTransform::fromTranslate(-box.x(), -box.y()));
        layerPainter.fillPath(path, colour);
    }
    painter.save();
    painter.setTransform(QTransform::fromTranslate(box.x(), box.y()) * belowInverse);
    painter.drawImage(QPointF(0, 0), layer);
    painter.restore();
}

void CanvasRenderer::paint(QPainter& painter, const CanvasModel& canvas, bool onScreen,
                           LayerCache* cache) {
    if (onScreen && cache)
        paintCached(painter, canvas, *cache);
    else
        paintCanvas(painter, canvas, onScreen);
}

std::optional<QByteArray> CanvasRenderer::png(CanvasModel& canvas) {
    const QImage bitmap = render(canvas);
    if (bitmap.isNull()) return std::nullopt;
    return PngEncoder::encode(bitmap);
}

QImage CanvasRenderer::render(CanvasModel& canvas) {
    canvas.commitText();
    // An opaque capture is exported as RGB: the same picture, a quarter fewer bytes to compress.
    const bool alpha = canvas.image().hasAlphaChannel();
    const QImage::Format format =
        alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    // Nothing drawn on it: the export is the image itself, shared rather than painted again
    // (at 4K that pass is most of what a copy costs the main thread).
    if (canvas.marks().empty() &&
        canvas.image().size() == QSize(canvas.pixelWidth(), canvas.pixelHeight())) {
        return canvas.image().convertToFormat(format);
    }
    QImage bitmap(canvas.pixelWidth(), canvas.pixelHeight(), format);
    if (bitmap.isNull()) return bitmap;
    bitmap.fill(alpha ? Qt::transparent : Qt::black);
    {
        QPainter painter(&bitmap);
        painter.scale(canvas.pixelWidth() / canvas.size().width,
                      canvas.pixelHeight() / canvas.size().height);
        paintCanvas(painter, canvas, false);
    }
    return bitmap;
}

}  // namespace tessal
