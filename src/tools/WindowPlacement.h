#pragma once

#include <QRect>

class QWidget;

namespace tessal {

// A window of `size` centred in `workArea`, shrunk to fit it.
QRect centredFrame(QSize size, const QRect& workArea);
// The available area of the display under the pointer, else of the primary display; empty
// without displays.
QRect workAreaUnderPointer();
// Resizes a top-level window to `size` (less where the display is smaller) and centres it on the
// display under the pointer.
void placeUnderPointer(QWidget& window, QSize size);
// The same at the window's current size.
void centreOnScreen(QWidget& window);

}  // namespace tessal
