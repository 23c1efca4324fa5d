#pragma once

#include <QString>
#include <vector>

#include "base/geometry.h"
#include "platform/KeyCodes.h"

namespace tessal {

// The overlay's key sheet: what it lists, where it goes, which keys open it and whether it has
// been shown once.
namespace KeySheetModel {

struct Entry {
    QString keys;
    QString meaning;
};
struct Column {
    QString title;
    std::vector<Entry> entries;
};

// The keys the capture overlay answers, by phase, and the tool letters of the toolbar.
std::vector<Column> columns();

// F1, or "?" (Shift and the key of "/"), with no other modifier.
bool isToggle(const KeyPress& press);

// The defaults key remembering that the sheet was shown on a first capture.
inline const QString shownKey = QStringLiteral("keySheetShown");

// Where a sheet of `size` goes within `bounds` (y up): the first corner, 16 points in, that
// meets none of `avoid` (bottom-left, bottom-right, top-left, top-right); when every corner
// meets one, the corner that covers the least of them.
Rect frame(Size size, const Rect& bounds, const std::vector<Rect>& avoid);

}  // namespace KeySheetModel
}  // namespace tessal
