#pragma once

#include <QCoreApplication>
#include <QFont>
#include <QPoint>
#include <QRectF>
#include <QString>

class QPainter;
class QWidget;

namespace tessal {

class MainQueue;

// "已复制", the word for a copy that leaves nothing else to see, and the small white panel it
// stands on: the magnifier's hint after Alt+C, and the note that follows a copy of recognised
// text next to the pointer. One look for both.
namespace CopiedNote {

inline QString text() {
    return QCoreApplication::translate("CopiedNote", "已复制");
}
// How long the note next to the pointer stays.
inline constexpr double duration = 1.2;

// The panel's face: white, rounded, a faint outline, inside `rect`.
void paintPanel(QPainter& painter, const QRectF& rect);
// The labels' font and colour on that panel.
QFont labelFont();
void setLabelPen(QPainter& painter);

// Shows the note next to the global pointer position `pointer` (kept on its screen), without
// taking focus or clicks, for `duration` seconds; a note already showing moves there instead.
QWidget* show(QPoint pointer, MainQueue& mainQueue);
// The note on screen, if any (tests).
QWidget* current();

}  // namespace CopiedNote
}  // namespace tessal
