#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include "base/geometry.h"

namespace tessal {

// One pixel of a snapshot: its column and row in the image (y down) and its opaque colour.
struct PixelSample {
    int x = 0;
    int y = 0;
    QColor color;

    friend bool operator==(const PixelSample& a, const PixelSample& b) {
        return a.x == b.x && a.y == b.y && a.color == b.color;
    }
    // "#RRGGBB", upper case.
    QString hex() const;
};

// The image pixel under view point p of a view whose bounds show the whole image; a
// translucent pixel's colour is divided back by its alpha, a transparent one reads black.
PixelSample samplePixel(const QImage& image, Point p, const Rect& bounds);

// The magnifier panel: 190 × 174 points, a 21 × 13 grid of 8-point pixels.
inline constexpr Size magnifierSize{190, 174};
inline constexpr int magnifierColumns = 21;
inline constexpr int magnifierRows = 13;
inline constexpr double magnifierPixel = 8;

// Where the panel goes: right of and below the pointer, jumping to the other side near an edge,
// always 8 points inside the bounds.
Rect magnifierFrame(Point p, const Rect& bounds);

}  // namespace tessal
