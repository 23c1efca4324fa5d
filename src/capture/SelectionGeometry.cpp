#include "SelectionGeometry.h"

#include <algorithm>
#include <cmath>

#include "ScreenGeometry.h"

namespace tessal {

Rect selectionStrokeRect(const Rect& r, double scale) {
    const double s = std::max(scale, 1.0);
    const double offset = (static_cast<long>(std::lround(3 * s)) % 2 == 1) ? 0.5 / s : 0.0;
    auto align = [&](double edge) { return std::round(s * edge) / s + offset; };
    const double x0 = align(r.minX()), x1 = align(r.maxX());
    const double y0 = align(r.minY()), y1 = align(r.maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect exactSelectionSize(Size pixels, const Rect& selection, Size screen, QSize image) {
    const double iw = std::max(1, image.width());
    const double ih = std::max(1, image.height());
    // std::round rounds halves away from zero.
    const double pw = std::clamp(std::round(pixels.width), 1.0, iw);
    const double ph = std::clamp(std::round(pixels.height), 1.0, ih);
    const double w = screen.width * pw / iw;
    const double h = screen.height * ph / ih;
    return {std::min(selection.minX(), screen.width - w),
            std::min(selection.minY(), screen.height - h), w, h};
}

Rect toolbarFrame(Size toolbar, const Rect& s, const Rect& b) {
    const double tw = toolbar.width, th = toolbar.height;
    const double x =
        std::min(std::max(b.minX() + 8, b.maxX() - tw - 8), std::max(b.minX() + 8, s.maxX() - tw));
    double y = s.minY() - th - 10;
    if (y < b.minY() + 8) y = s.maxY() + 10;
    if (y + th > b.maxY() - 8) y = b.maxY() - th - 8;
    y = std::max(y, b.minY() + 8);
    return {x, y, tw, th};
}

std::optional<SelectionHandle> chromeHandle(Point p, const Rect& s, bool moving) {
    std::optional<SelectionHandle> best;
    double bestDistance = 0;
    for (SelectionHandle h : allSelectionHandles) {
        if (h == SelectionHandle::move) continue;
        const Point q = handlePoint(h, s);
        if (std::abs(q.x - p.x) > 7 || std::abs(q.y - p.y) > 7) continue;
        const double distance = std::hypot(q.x - p.x, q.y - p.y);
        if (!best || distance < bestDistance) best = h, bestDistance = distance;
    }
    if (best) return best;
    const Rect grown = s.insetBy(-5, -5);
    if (p.x < grown.minX() || p.x > grown.maxX() || p.y < grown.minY() || p.y > grown.maxY())
        return std::nullopt;
    if (std::abs(p.x - s.minX()) <= 5) return SelectionHandle::left;
    if (std::abs(p.x - s.maxX()) <= 5) return SelectionHandle::right;
    if (std::abs(p.y - s.minY()) <= 5) return SelectionHandle::bottom;
    if (std::abs(p.y - s.maxY()) <= 5) return SelectionHandle::top;
    if (moving && s.contains(p)) return SelectionHandle::move;
    return std::nullopt;
}

double cornerHandleRadius(const Rect& r) {
    return r.width() >= 24 && r.height() >= 24 ? 3 : 0;
}
double edgeHandleRadius(const Rect& r) {
    return r.width() >= 12 && r.height() >= 12 ? 2 : 0;
}

QString selectionSizeText(const Rect& selection, Size screen, QSize image) {
    const QRect pixels = pixelCrop(selection, screen, image);
    return QStringLiteral("%1 × %2 px").arg(pixels.width()).arg(pixels.height());
}

Rect sizeBadgeFrame(double textWidth, const Rect& s, const Rect& w) {
    const double width = std::ceil(textWidth) + 20;
    const double height = 24;
    const double x =
        std::min(std::max(w.minX() + 6, w.maxX() - width - 6), std::max(w.minX() + 6, s.minX()));
    double y;
    if (s.maxY() + 8 + height <= w.maxY() - 6)
        y = s.maxY() + 8;
    else if (s.minY() - height - 8 >= w.minY() + 6)
        y = s.minY() - height - 8;
    else
        y = std::max(w.minY() + 6, s.maxY() - height - 10);
    return {x, y, width, height};
}

}  // namespace tessal
