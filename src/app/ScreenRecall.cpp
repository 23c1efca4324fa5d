#include "ScreenRecall.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace tessal {
namespace {

QImage grab(QScreen* screen) {
    return screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

// The part of a screen's picture that shows `area`, in the picture's own pixels.
QRect pixelsOf(const QRect& area, const QRect& geometry, const QImage& image) {
    const QRect local = area.intersected(geometry).translated(-geometry.topLeft());
    if (local.isEmpty() || geometry.isEmpty()) return {};
    const double sx = double(image.width()) / geometry.width();
    const double sy = double(image.height()) / geometry.height();
    return QRect(int(local.x() * sx), int(local.y() * sy), int(local.width() * sx),
                 int(local.height() * sy))
        .intersected(image.rect());
}

}  // namespace

ScreenRecall ScreenRecall::take() {
    ScreenRecall recall;
    for (QScreen* screen : QGuiApplication::screens()) {
        QImage image = grab(screen);
        if (!image.isNull()) recall.pictures_.push_back({screen, screen->geometry(), image});
    }
    return recall;
}

bool ScreenRecall::showsAgain(const QRect& area) const {
    for (const Picture& p : pictures_) {
        if (!p.screen || p.screen->geometry() != p.geometry) continue;
        const QRect pixels = pixelsOf(area, p.geometry, p.image);
        if (pixels.isEmpty()) continue;
        const QImage now = grab(p.screen);
        if (now.size() != p.image.size()) continue;
        if (now.copy(pixels) != p.image.copy(pixels)) return false;
    }
    return true;
}

}  // namespace tessal
