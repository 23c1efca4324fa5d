#include "OverlayWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>

#include "SelectionView.h"

namespace tessal {

OverlayWindow::OverlayWindow(const QRect& qtGeometry, bool fullScreen)
    : QWidget(nullptr, fullScreen ? Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                                  : Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                        Qt::X11BypassWindowManagerHint | Qt::Tool),
      fullScreen_(fullScreen) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setWindowTitle(QCoreApplication::translate("OverlayWindow", "Tessal · 截图"));
    setGeometry(qtGeometry);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
}

void OverlayWindow::setContent(SelectionView* view) {
    content_ = view;
    view->setParent(this);
    view->move(0, 0);
    view->show();
}

void OverlayWindow::present(bool takeKeyboard) {
    if (fullScreen_ && !isVisible()) {
        if (!windowHandle()) create();
        if (QScreen* screen = QGuiApplication::screenAt(geometry().center()))
            windowHandle()->setScreen(screen);
        showFullScreen();
    } else {
        show();
    }
    raise();
    if (takeKeyboard) {
        activateWindow();
        if (content_) content_->setFocus();
    }
}

void OverlayWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && onResignKey)
        onResignKey();
    QWidget::changeEvent(event);
}

// A window outside the window manager is never "active" to Qt, so its keys often arrive here
// rather than at the focused content: hand them on.
void OverlayWindow::keyPressEvent(QKeyEvent* event) {
    if (content_ && content_->onKey && content_->onKey(event)) return;
    QWidget::keyPressEvent(event);
}

void OverlayWindow::keyReleaseEvent(QKeyEvent* event) {
    if (content_ && content_->onKey && content_->onKey(event)) return;
    QWidget::keyReleaseEvent(event);
}

void OverlayWindow::hideEvent(QHideEvent* event) {
    if (keyboardGrabbed_)
        if (QWindow* window = windowHandle()) window->setKeyboardGrabEnabled(false);
    keyboardGrabbed_ = false;
    QWidget::hideEvent(event);
}

}  // namespace tessal
