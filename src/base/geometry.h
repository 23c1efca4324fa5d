#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>

namespace tessal {

// Model geometry with the y axis pointing up. Equality is exact, point containment is half-open,
// and an intersection of disjoint rectangles is the null rectangle, which is not the same as an
// empty one: rectangles that only touch intersect in a zero-width, non-null rectangle.

struct Point {
    double x = 0;
    double y = 0;

    friend bool operator==(const Point&, const Point&) = default;
    Point operator+(const Point& o) const { return {x + o.x, y + o.y}; }
    Point operator-(const Point& o) const { return {x - o.x, y - o.y}; }
};

struct Size {
    double width = 0;
    double height = 0;

    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}
    constexpr Rect(Point o, Size s) : origin(o), size(s) {}

    static Rect null() {
        const double inf = std::numeric_limits<double>::infinity();
        return {inf, inf, 0, 0};
    }

    friend bool operator==(const Rect& a, const Rect& b) {
        return a.origin == b.origin && a.size == b.size;
    }

    bool isNull() const { return std::isinf(origin.x) || std::isinf(origin.y); }
    bool isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

    // A rectangle with negative size is first turned into the equivalent positive one.
    Rect standardized() const;

    double minX() const { return standardized().origin.x; }
    double minY() const { return standardized().origin.y; }
    double maxX() const {
        const Rect r = standardized();
        return r.origin.x + r.size.width;
    }
    double maxY() const {
        const Rect r = standardized();
        return r.origin.y + r.size.height;
    }
    double midX() const { return (minX() + maxX()) / 2; }
    double midY() const { return (minY() + maxY()) / 2; }
    double width() const { return std::abs(size.width); }
    double height() const { return std::abs(size.height); }

    bool contains(Point p) const;
    bool contains(const Rect& r) const;
    bool intersects(const Rect& r) const { return !intersected(r).isNull(); }
    Rect intersected(const Rect& r) const;
    Rect united(const Rect& r) const;
    Rect insetBy(double dx, double dy) const;
    Rect offsetBy(double dx, double dy) const;
    // The smallest rectangle with integral edges that contains this one.
    Rect integral() const;
};

std::ostream& operator<<(std::ostream& out, const Point& p);
std::ostream& operator<<(std::ostream& out, const Size& s);
std::ostream& operator<<(std::ostream& out, const Rect& r);

}  // namespace tessal
