#include "Resources.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>
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

QIcon countdownIcon(int seconds, const QPalette& palette) {
    const bool darkPanel = palette.color(QPalette::Window).lightness() < 128;
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QColor ink = darkPanel ? QColor(240, 240, 240) : QColor(40, 40, 40);
    painter.setPen(QPen(ink, 5));
    painter.drawEllipse(QRectF(4, 4, 56, 56));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(seconds >= 10 ? 28 : 36);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(seconds));
    painter.end();
    return QIcon(pixmap);
}

}  // namespace tessal
