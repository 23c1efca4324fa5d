#include "OverlayWindow.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tessal {

OverlayWindow::OverlayWindow(const QImage& image, const QRect& qtGeometry)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint | Qt::Tool),
      image_(image) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setWindowTitle(QStringLiteral("Tessal · 截图"));
    setCursor(Qt::CrossCursor);
    setGeometry(qtGeometry);
    // Drawn at device resolution: one image pixel per device pixel on any scale.
    image_.setDevicePixelRatio(qtGeometry.width() > 0 ? double(image.width()) / qtGeometry.width()
                                                      : 1.0);
}

void OverlayWindow::present() {
    show();
    raise();
    activateWindow();
    // Bypassing the window manager means no focus is given to us: take the keyboard and
    // pointer explicitly so Escape and clicks always reach the overlay.
    grabKeyboard();
    grabMouse();
}

void OverlayWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), image_);
    painter.fillRect(rect(), QColor(0, 0, 0, 102));
}

void OverlayWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (onCancel) onCancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OverlayWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && onCancel) onCancel();
}

void OverlayWindow::hideEvent(QHideEvent* event) {
    releaseKeyboard();
    releaseMouse();
    QWidget::hideEvent(event);
}

}  // namespace tessal
