#include "WindowPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tessal {

QRect centredFrame(QSize size, const QRect& workArea) {
    const QSize fitted = size.boundedTo(workArea.size());
    return {workArea.x() + (workArea.width() - fitted.width()) / 2,
            workArea.y() + (workArea.height() - fitted.height()) / 2, fitted.width(),
            fitted.height()};
}

QRect workAreaUnderPointer() {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void placeUnderPointer(QWidget& window, QSize size) {
    const QRect area = workAreaUnderPointer();
    if (area.isEmpty()) {
        window.resize(size);
        return;
    }
    // The window manager's frame is known only once the window has been shown.
    const QSize decoration = window.frameGeometry().size() - window.geometry().size();
    const QRect frame = centredFrame(size + decoration, area);
    window.resize((frame.size() - decoration).expandedTo(window.minimumSize()));
    window.move(frame.topLeft());
}

void centreOnScreen(QWidget& window) {
    placeUnderPointer(window, window.size());
}

}  // namespace tessal
