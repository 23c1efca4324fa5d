#pragma once

#include <QColor>

namespace tessal {

// The named colours of the interface, one fixed sRGB value each.
namespace NamedColor {
inline QColor systemRed() {
    return QColor(255, 59, 48);
}
inline QColor systemOrange() {
    return QColor(255, 149, 0);
}
inline QColor systemYellow() {
    return QColor(255, 204, 0);
}
inline QColor systemGreen() {
    return QColor(52, 199, 89);
}
inline QColor systemBlue() {
    return QColor(0, 122, 255);
}
inline QColor systemPurple() {
    return QColor(175, 82, 222);
}
// The interface accent is the system blue.
inline QColor accent() {
    return systemBlue();
}
}  // namespace NamedColor

}  // namespace tessal
