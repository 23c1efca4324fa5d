#include "Resources.h"

#include <QPalette>
#include <QtGlobal>

static void registerResources() {
    Q_INIT_RESOURCE(resources);
}

namespace tessal {

void initResources() {
    registerResources();
}

QIcon trayIcon(const QPalette& palette) {
    // The installed symbolic icon is dark, as the convention has it: a host that knows the
    // convention recolours it by name, but Qt paints it as it is, so on a dark panel our light
    // glyph is used instead.
    if (palette.color(QPalette::Window).lightness() < 128)
        return QIcon(QStringLiteral(":/icons/tray-light.svg"));
    return QIcon::fromTheme(QStringLiteral("local.ostrel-symbolic"),
                            QIcon(QStringLiteral(":/icons/tray-dark.svg")));
}

}  // namespace tessal
