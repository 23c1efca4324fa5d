#pragma once

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <optional>

#include "base/geometry.h"

class QColor;
class QPainter;
class QPainterPath;

namespace tessal {

class CanvasModel;
struct Mark;

// Drawing of a canvas: the image, every mark, the privacy effects with their cache, the
// selection decoration on screen, and the PNG export at the capture's pixel size.
namespace CanvasRenderer {

// The image with the marks under and over the one being dragged, kept between redraws so a
// redraw during a gesture draws only what moves.
struct LayerCache {
    QImage below;
    QImage above;
    std::uint64_t version = 0;
    std::optional<int> excluded;
    std::optional<int> hidden;
    Size size;
    Point origin;
    double scale = 0;
    bool valid = false;
};

// Paints into a painter in the canvas's own y-down widget coordinates. On screen the draft,
// the selection decoration are drawn and the text under an open field is hidden; a cache,
// when given, keeps the unchanged marks between calls.
void paint(QPainter& painter, const CanvasModel& canvas, bool onScreen,
           LayerCache* cache = nullptr);

// The image and its marks at exactly pixelWidth × pixelHeight (RGB when the image is opaque);
// commits open text first. Null when memory runs out.
QImage render(CanvasModel& canvas);
// The same as PNG.
std::optional<QByteArray> png(CanvasModel& canvas);

// One mark in a painter already set up in annotation coordinates (y up).
void drawMark(QPainter& painter, const CanvasModel& canvas, const Mark& mark);

// Fills `path` with a translucent colour: the pixels of painter.fillPath, without Qt's thread
// hand-off for large fills.
void fillTranslucent(QPainter& painter, const QPainterPath& path, const QColor& colour);

// Limits of the privacy cache.
inline constexpr int privacyCacheEntries = 32;
inline constexpr long long privacyCachePixels = 8'000'000;

}  // namespace CanvasRenderer

}  // namespace tessal
