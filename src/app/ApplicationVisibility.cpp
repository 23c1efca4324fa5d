#include "ApplicationVisibility.h"

#include <QApplication>

namespace tessal {

bool ApplicationVisibility::hide() {
    bool any = false;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        // The tray icon is a window of ours on X11 (embedded in the tray); it must stay.
        if (!widget->isVisible() || widget->windowType() == Qt::Popup ||
            widget->inherits("QSystemTrayIconSys"))
            continue;
        hidden_ << QPointer<QWidget>(widget);
        widget->hide();
        any = true;
    }
    return any;
}

void ApplicationVisibility::unhide() {
    for (const QPointer<QWidget>& widget : hidden_)
        if (widget) widget->show();
    hidden_.clear();
}

void ApplicationVisibility::activate() {
    if (QWidget* window = QApplication::activeWindow()) window->raise();
}

}  // namespace tessal
