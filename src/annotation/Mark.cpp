#include "Mark.h"

#include <QFontMetricsF>
#include <QPainterPathStroker>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace tessal {
namespace {

double distanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = 0;
    if (length2 > 0) t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Walks the path's straight segments (curves flattened), closing subpaths that are closed.
bool outlineWithin(const QPainterPath& path, Point p, double tolerance) {
    for (const QPolygonF& polygon : path.toSubpathPolygons()) {
        for (int i = 0; i + 1 < polygon.size(); ++i) {
            const Point a{polygon[i].x(), polygon[i].y()};
            const Point b{polygon[i + 1].x(), polygon[i + 1].y()};
            if (distanceToSegment(p, a, b) <= tolerance) return true;
        }
        if (polygon.size() == 1 && distanceToSegment(p, {polygon[0].x(), polygon[0].y()},
                                                     {polygon[0].x(), polygon[0].y()}) <= tolerance)
            return true;
    }
    return false;
}

Rect rectFrom(const QRectF& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

QRectF spanned(Point s, Point e) {
    return QRectF(std::min(s.x, e.x), std::min(s.y, e.y), std::abs(e.x - s.x), std::abs(e.y - s.y));
}

}  // namespace

std::optional<Tool> toolFromRaw(int raw) {
    if (raw < 0 || raw > 8) return std::nullopt;
    return static_cast<Tool>(raw);
}

std::optional<MosaicMode> mosaicModeFromRaw(int raw) {
    if (raw == 0) return MosaicMode::brush;
    if (raw == 1) return MosaicMode::rectangle;
    return std::nullopt;
}

bool Mark::canResize() const {
    if (isMosaicBrush()) return false;
    switch (tool) {
        case Tool::rectangle:
        case Tool::ellipse:
        case Tool::text:
        case Tool::mosaic:
        case Tool::blur:
        case Tool::number:
            return true;
        default:
            return false;
    }
}

double Mark::paintWidth() const {
    if (tool == Tool::highlight) return std::max(6 * width, 12.0);
    if (isMosaicBrush()) return std::max(10 * width, 18.0);
    return width;
}

QFont Mark::textFont() const {
    QFont font;
    // Sizes are points of the overlay, which are the view's pixels.
    font.setPixelSize(std::max(1, int(std::lround(fontSize))));
    font.setWeight(width >= 6 ? QFont::Bold : (width <= 1.5 ? QFont::Light : QFont::Normal));
    return font;
}

double badgeRadius(double fontSize) {
    return std::max(0.7 * fontSize, 12.0);
}

QPainterPath Mark::path() const {
    QPainterPath path;
    if (points.empty()) return path;
    const Point s = points.front();
    const Point e = points.back();
    switch (tool) {
        case Tool::rectangle:
        case Tool::mosaic:
        case Tool::blur:
            path.addRect(spanned(s, e));
            break;
        case Tool::ellipse:
            path.addEllipse(spanned(s, e));
            break;
        case Tool::pen:
        case Tool::highlight:
            path.moveTo(s.x, s.y);
            for (std::size_t i = 1; i < points.size(); ++i) path.lineTo(points[i].x, points[i].y);
            break;
        case Tool::text:
            break;
        case Tool::number: {
            const double r = badgeRadius(fontSize);
            path.addEllipse(QPointF(s.x, s.y), r, r);
            break;
        }
        case Tool::arrow: {
            const double length = std::hypot(e.x - s.x, e.y - s.y);
            if (length <= 0) break;
            const double ux = (e.x - s.x) / length, uy = (e.y - s.y) / length;
            const double nx = -uy, ny = ux;
            const double h = std::min(0.4 * length, std::max(5 * width, 10.0));
            const double w = 0.48 * h;
            const double bx = e.x - h * ux, by = e.y - h * uy;
            path.moveTo(s.x, s.y);
            path.lineTo(bx + 0.38 * w * nx, by + 0.38 * w * ny);
            path.lineTo(bx + w * nx, by + w * ny);
            path.lineTo(e.x, e.y);
            path.lineTo(bx - w * nx, by - w * ny);
            path.lineTo(bx - 0.38 * w * nx, by - 0.38 * w * ny);
            path.closeSubpath();
            break;
        }
    }
    return path;
}

QPainterPath Mark::brushMask() const {
    QPainterPath mask;
    if (points.empty()) return mask;
    const Point first = points.front();
    const bool moved =
        std::any_of(points.begin(), points.end(), [&](Point p) { return !(p == first); });
    if (!moved) {
        mask.addEllipse(QPointF(first.x, first.y), paintWidth() / 2, paintWidth() / 2);
        return mask;
    }
    QPainterPath line;
    line.moveTo(first.x, first.y);
    for (std::size_t i = 1; i < points.size(); ++i) line.lineTo(points[i].x, points[i].y);
    QPainterPathStroker stroker;
    stroker.setWidth(paintWidth());
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setMiterLimit(10);
    return stroker.createStroke(line).simplified();
}

Size measureText(const QString& text, const QFont& font) {
    const QFontMetricsF metrics(font);
    const QStringList lines = text.split('\n');
    double width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    return {std::ceil(width), std::ceil(metrics.lineSpacing() * lines.size())};
}

Rect Mark::bounds() const {
    switch (tool) {
        case Tool::text: {
            const Point origin = points.empty() ? Point{} : points.front();
            const Size size = measureText(text, textFont());
            return {origin, size};
        }
        case Tool::highlight: {
            const double grow = paintWidth() / 2;
            return rectFrom(path().boundingRect()).insetBy(-grow, -grow);
        }
        default:
            if (isMosaicBrush()) return rectFrom(brushMask().boundingRect());
            if (tool == Tool::pen && !points.empty()) {
                // The box of the points themselves, even for a single point.
                double x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
                for (Point p : points) {
                    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
                    y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
                }
                return {x0, y0, x1 - x0, y1 - y0};
            }
            return rectFrom(path().boundingRect());
    }
}

std::optional<Point> Mark::handlePoint(SelectionHandle handle) const {
    if (!canResize() || handle == SelectionHandle::move) return std::nullopt;
    return tessal::handlePoint(handle, bounds());
}

bool Mark::hitTest(Point p) const {
    switch (tool) {
        case Tool::text:
            return bounds().insetBy(-4, -4).contains(p);
        case Tool::number: {
            if (points.empty()) return false;
            return std::hypot(p.x - points[0].x, p.y - points[0].y) <= badgeRadius(fontSize);
        }
        case Tool::blur:
            return bounds().contains(p);
        case Tool::mosaic:
            if (isMosaicBrush()) return brushMask().contains(QPointF(p.x, p.y));
            return bounds().contains(p);
        default:
            break;
    }
    const double lw = tool == Tool::highlight ? std::max(6 * width, 12.0) : width;
    const double tolerance = std::max(lw / 2 + 3, 6.0);
    const QPainterPath outline = path();
    if (tool == Tool::arrow && outline.contains(QPointF(p.x, p.y))) return true;
    return outlineWithin(outline, p, tolerance);
}

Point constrainedEndpoint(Point s, Point e, Tool tool, const Rect& r) {
    const double dx = e.x - s.x, dy = e.y - s.y;
    if (tool == Tool::rectangle || tool == Tool::ellipse) {
        double side = std::max(std::abs(dx), std::abs(dy));
        const double roomX = dx >= 0 ? r.maxX() - s.x : s.x - r.minX();
        const double roomY = dy >= 0 ? r.maxY() - s.y : s.y - r.minY();
        side = std::min({side, roomX, roomY});
        return {s.x + (dx >= 0 ? side : -side), s.y + (dy >= 0 ? side : -side)};
    }
    if (tool == Tool::arrow) {
        const double step = M_PI / 4;
        const double angle = std::round(std::atan2(dy, dx) / step) * step;
        const double length = std::hypot(dx, dy);
        const double vx = length * std::cos(angle), vy = length * std::sin(angle);
        double t = 1;
        if (std::abs(vx) > 0.001) t = std::min(t, ((vx > 0 ? r.maxX() : r.minX()) - s.x) / vx);
        if (std::abs(vy) > 0.001) t = std::min(t, ((vy > 0 ? r.maxY() : r.minY()) - s.y) / vy);
        return {s.x + t * vx, s.y + t * vy};
    }
    return e;
}

int nextMarkerNumber(const std::vector<Mark>& marks) {
    int highest = 0;
    for (const Mark& m : marks)
        if (m.tool == Tool::number) highest = std::max(highest, m.number);
    return highest + 1;
}

}  // namespace tessal
