#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <optional>

namespace tessal {

// Where a rectangular ring `thickness` pixels wide in `color`, expected with its outer edge at
// `outer`, shows in `screen`: its offset from there, at most `reach` pixels each way; none when
// it is not seen (three of its sides must show). Ties go to the smallest shift.
std::optional<QPoint> findDrawnRing(const QImage& screen, const QRect& outer, int thickness,
                                    QRgb color, int reach);

}  // namespace tessal
