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
    const bool darkPanel = palette.color(QPalette::Window).lightness() < 128;
    const QIcon glyph(darkPanel ? QStringLiteral(":/icons/tray-light.svg")
                                : QStringLiteral(":/icons/tray-dark.svg"));
    return QIcon::fromTheme(QStringLiteral("local.ostrel-symbolic"), glyph);
}

}  // namespace tessal
