#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QString>
#include <optional>
#include <vector>

#include "base/SelectionHandle.h"
#include "base/geometry.h"

namespace tessal {

// The drawing tools; a mark's kind. Raw values are stored and used by the toolbar.
enum class Tool { rectangle = 0, arrow, pen, text, ellipse, mosaic, blur, number, highlight };
std::optional<Tool> toolFromRaw(int raw);

enum class MosaicMode { brush = 0, rectangle = 1 };
std::optional<MosaicMode> mosaicModeFromRaw(int raw);

// One annotation, in annotation coordinates (points, y up).
struct Mark {
    Tool tool = Tool::rectangle;
    std::vector<Point> points;
    QColor color;
    double width = 3;
    bool mosaicBrush = false;
    int number = 1;
    QString text;
    double fontSize = 24;

    friend bool operator==(const Mark&, const Mark&) = default;

    bool isMosaicBrush() const { return tool == Tool::mosaic && mosaicBrush; }
    bool canResize() const;
    // The line width paths are stroked with.
    double paintWidth() const;
    QFont textFont() const;
    // The outline: a filled polygon for arrows, a stroked path otherwise; empty for text.
    QPainterPath path() const;
    // The painted area of a brush mosaic (a filled region).
    QPainterPath brushMask() const;
    Rect bounds() const;
    std::optional<Point> handlePoint(SelectionHandle handle) const;
    bool hitTest(Point p) const;
};

// The Shift constraint while drawing: squares and circles, arrows in 45° steps, inside `within`.
Point constrainedEndpoint(Point start, Point end, Tool tool, const Rect& within);

// 1 + the largest number among the number marks, or 1.
int nextMarkerNumber(const std::vector<Mark>& marks);

// Multi-line text as marks lay it out: measured and drawn the same way.
Size measureText(const QString& text, const QFont& font);
// The badge circle of a number mark.
double badgeRadius(double fontSize);

}  // namespace tessal
