#pragma once

#include <QIcon>

class QPalette;

namespace tessal {

// Registers the icons compiled into the interface library; call once after the application
// object exists.
void initResources();

// The tray icon: the icon theme's symbolic one (installed with the program as
// "local.ostrel-symbolic"), else our own glyph in the colour that stands out on a panel of
// `palette`.
QIcon trayIcon(const QPalette& palette);

}  // namespace tessal
