#include "geometry.h"

namespace tessal {

Rect Rect::standardized() const {
    if (isNull()) return *this;
    Rect r = *this;
    if (r.size.width < 0) {
        r.origin.x += r.size.width;
        r.size.width = -r.size.width;
    }
    if (r.size.height < 0) {
        r.origin.y += r.size.height;
        r.size.height = -r.size.height;
    }
    return r;
}

bool Rect::contains(Point p) const {
    if (isNull()) return false;
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(const Rect& r) const {
    if (isNull() || r.isNull()) return false;
    return r.minX() >= minX() && r.maxX() <= maxX() && r.minY() >= minY() && r.maxY() <= maxY();
}

Rect Rect::intersected(const Rect& r) const {
    if (isNull() || r.isNull()) return null();
    const double x0 = std::max(minX(), r.minX());
    const double y0 = std::max(minY(), r.minY());
    const double x1 = std::min(maxX(), r.maxX());
    const double y1 = std::min(maxY(), r.maxY());
    if (x1 < x0 || y1 < y0) return null();
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Rect::united(const Rect& r) const {
    if (isNull()) return r.standardized();
    if (r.isNull()) return standardized();
    const double x0 = std::min(minX(), r.minX());
    const double y0 = std::min(minY(), r.minY());
    const double x1 = std::max(maxX(), r.maxX());
    const double y1 = std::max(maxY(), r.maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Rect::insetBy(double dx, double dy) const {
    if (isNull()) return *this;
    const Rect s = standardized();
    Rect r(s.origin.x + dx, s.origin.y + dy, s.size.width - 2 * dx, s.size.height - 2 * dy);
    if (r.size.width < 0 || r.size.height < 0) return null();
    return r;
}

Rect Rect::offsetBy(double dx, double dy) const {
    if (isNull()) return *this;
    return {origin.x + dx, origin.y + dy, size.width, size.height};
}

Rect Rect::integral() const {
    if (isNull()) return *this;
    const double x0 = std::floor(minX());
    const double y0 = std::floor(minY());
    return {x0, y0, std::ceil(maxX()) - x0, std::ceil(maxY()) - y0};
}

std::ostream& operator<<(std::ostream& out, const Point& p) {
    return out << "(" << p.x << ", " << p.y << ")";
}
std::ostream& operator<<(std::ostream& out, const Size& s) {
    return out << "(" << s.width << " x " << s.height << ")";
}
std::ostream& operator<<(std::ostream& out, const Rect& r) {
    if (r.isNull()) return out << "Rect::null";
    return out << "(" << r.origin.x << ", " << r.origin.y << ", " << r.size.width << ", "
               << r.size.height << ")";
}

}  // namespace tessal
