#pragma once

class QWidget;

namespace tessal {

// Moves a top-level window to the centre of the primary display's available area.
void centreOnScreen(QWidget& window);

}  // namespace tessal
