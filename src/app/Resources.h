#pragma once

#include <QIcon>

class QPalette;

namespace tessal {

// Registers the icons compiled into the interface library; call once after the application
// object exists.
void initResources();

// The tray icon, in the colour that stands out on a panel of `palette`: on a light panel the
// icon theme's symbolic one (installed with the program as "local.ostrel-symbolic") or our dark
// glyph, on a dark one our light glyph.
QIcon trayIcon(const QPalette& palette);
// The tray icon while a delayed capture counts down: the seconds left, in the same colour.
QIcon countdownIcon(int seconds, const QPalette& palette);

}  // namespace tessal
