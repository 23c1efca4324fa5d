#include "DisplayMapping.h"

#include <QGuiApplication>
#include <QScreen>

#include "base/QtGeometry.h"

namespace tessal {

std::vector<DisplayMapping> currentDisplayMappings() {
    std::vector<DisplayMapping> result;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return result;
    QList<QScreen*> screens = QGuiApplication::screens();
    screens.removeAll(primary);
    screens.prepend(primary);
    for (QScreen* s : screens) {
        const QRect g = s->geometry();
        const double scale = s->devicePixelRatio();
        // Qt keeps a scaled screen's top-left in device pixels and divides only its size.
        result.push_back(
            {QRect(g.topLeft(), QSize(qRound(g.width() * scale), qRound(g.height() * scale))),
             QPointF(g.topLeft()), scale});
    }
    return result;
}

std::vector<DisplayInfo> qtDisplays() {
    std::vector<DisplayInfo> result;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return result;
    const QRectF p(primary->geometry());
    QList<QScreen*> screens = QGuiApplication::screens();
    screens.removeAll(primary);
    screens.prepend(primary);
    // The same order as the mappings: primary first.
    const std::vector<DisplayMapping> mappings = currentDisplayMappings();
    for (int i = 0; i < screens.size() && i < int(mappings.size()); ++i) {
        DisplayInfo info;
        info.id = screens[i]->name();
        info.frame = globalFromQt(QRectF(screens[i]->geometry()), p);
        info.visibleFrame = globalFromQt(QRectF(screens[i]->availableGeometry()), p);
        info.scale = mappings[i].scale;
        info.nativeRect = mappings[i].native;
        result.push_back(info);
    }
    return result;
}

Rect windowListRectFromNative(const QRect& native, const std::vector<DisplayMapping>& displays) {
    const DisplayMapping* home = displays.empty() ? nullptr : &displays.front();
    for (const DisplayMapping& d : displays)
        if (d.native.contains(native.center())) home = &d;
    const double scale = home ? home->scale : 1.0;
    const QPointF nativeOrigin = home ? QPointF(home->native.topLeft()) : QPointF();
    const QPointF logicalOrigin = home ? home->logicalTopLeft : QPointF();
    const QPointF primaryOrigin = displays.empty() ? QPointF() : displays.front().logicalTopLeft;
    const QPointF topLeft =
        logicalOrigin + (QPointF(native.topLeft()) - nativeOrigin) / scale - primaryOrigin;
    return {topLeft.x(), topLeft.y(), native.width() / scale, native.height() / scale};
}

QPoint nativeFromWindowListPoint(Point p, const std::vector<DisplayMapping>& displays) {
    const QPointF primaryOrigin = displays.empty() ? QPointF() : displays.front().logicalTopLeft;
    const QPointF logical = QPointF(p.x, p.y) + primaryOrigin;
    for (const DisplayMapping& d : displays) {
        const QRectF area(d.logicalTopLeft, QSizeF(d.native.size()) / d.scale);
        if (area.contains(logical))
            return (QPointF(d.native.topLeft()) + (logical - d.logicalTopLeft) * d.scale).toPoint();
    }
    return logical.toPoint();
}

}  // namespace tessal
