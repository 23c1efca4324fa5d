#include "SelectionHandle.h"

#include <algorithm>

namespace tessal {
namespace {

using H = SelectionHandle;

bool movesLeft(H h) {
    return h == H::left || h == H::topLeft || h == H::bottomLeft;
}
bool movesRight(H h) {
    return h == H::right || h == H::topRight || h == H::bottomRight;
}
bool movesBottom(H h) {
    return h == H::bottom || h == H::bottomLeft || h == H::bottomRight;
}
bool movesTop(H h) {
    return h == H::top || h == H::topLeft || h == H::topRight;
}

}  // namespace

bool isCorner(SelectionHandle h) {
    return h == H::topLeft || h == H::topRight || h == H::bottomLeft || h == H::bottomRight;
}

Point handlePoint(SelectionHandle handle, const Rect& r) {
    switch (handle) {
        case H::bottomLeft:
            return {r.minX(), r.minY()};
        case H::bottom:
            return {r.midX(), r.minY()};
        case H::bottomRight:
            return {r.maxX(), r.minY()};
        case H::right:
            return {r.maxX(), r.midY()};
        case H::topRight:
            return {r.maxX(), r.maxY()};
        case H::top:
            return {r.midX(), r.maxY()};
        case H::topLeft:
            return {r.minX(), r.maxY()};
        case H::left:
            return {r.minX(), r.midY()};
        case H::move:
            return {r.midX(), r.midY()};
    }
    return {};
}

Rect adjusted(SelectionHandle handle, const Rect& r, Point d, const Rect& w, bool lock) {
    if (handle == H::move) {
        // Lower bound first, then the upper: a rectangle wider than `w` ends at its far edge.
        const double x = std::min(std::max(r.minX() + d.x, w.minX()), w.maxX() - r.width());
        const double y = std::min(std::max(r.minY() + d.y, w.minY()), w.maxY() - r.height());
        return {x, y, r.width(), r.height()};
    }
    double minX = r.minX(), maxX = r.maxX(), minY = r.minY(), maxY = r.maxY();
    if (movesLeft(handle)) minX = std::min(std::max(w.minX(), r.minX() + d.x), r.maxX() - 3);
    if (movesRight(handle)) maxX = std::max(std::min(w.maxX(), r.maxX() + d.x), r.minX() + 3);
    if (movesBottom(handle)) minY = std::min(std::max(w.minY(), r.minY() + d.y), r.maxY() - 3);
    if (movesTop(handle)) maxY = std::max(std::min(w.maxY(), r.maxY() + d.y), r.minY() + 3);

    if (!lock || !isCorner(handle) || r.width() == 0 || r.height() == 0)
        return {minX, minY, maxX - minX, maxY - minY};

    // The corner opposite the handle stays; the scale grows until the first edge of `w`.
    const bool fixedAtLeft = handle == H::topRight || handle == H::bottomRight;
    const bool fixedAtBottom = handle == H::topLeft || handle == H::topRight;
    const double fixedX = fixedAtLeft ? r.minX() : r.maxX();
    const double fixedY = fixedAtBottom ? r.minY() : r.maxY();
    double s = std::max((maxX - minX) / r.width(), (maxY - minY) / r.height());
    const double roomX = fixedAtLeft ? w.maxX() - fixedX : fixedX - w.minX();
    const double roomY = fixedAtBottom ? w.maxY() - fixedY : fixedY - w.minY();
    s = std::min({s, roomX / r.width(), roomY / r.height()});
    const double width = r.width() * s;
    const double height = r.height() * s;
    return {fixedAtLeft ? fixedX : fixedX - width, fixedAtBottom ? fixedY : fixedY - height, width,
            height};
}

}  // namespace tessal
