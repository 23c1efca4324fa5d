#include "LongCapturePanelHost.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>

namespace tessal {

LongCapturePanelHost::LongCapturePanelHost(const QRect& screen)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint),
      screen_(screen),
      origin_(screen.topLeft()) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setWindowTitle(QCoreApplication::translate("LongCaptureControlWindow", "Tessal · 长截图"));
    setGeometry(screen_);
}

LongCapturePanelHost::~LongCapturePanelHost() {
    // The panels belong to the capture, which deletes them before this window.
    for (QObject* child : children())
        if (child->isWidgetType()) child->removeEventFilter(this);
}

void LongCapturePanelHost::adopt(std::initializer_list<QWidget*> panels,
                                 std::initializer_list<QWidget*> opaque) {
    for (QWidget* panel : panels) {
        const QPoint at = panel->pos();
        panel->setParent(this, Qt::Widget);
        placePanel(panel, at);
        panel->installEventFilter(this);
    }
    for (QWidget* panel : opaque) panel->setAutoFillBackground(true);
}

QRegion LongCapturePanelHost::inputRegion() const {
    QRegion region;
    for (QObject* child : children()) {
        auto* panel = qobject_cast<QWidget*>(child);
        if (!panel || panel->isHidden() || panel->testAttribute(Qt::WA_TransparentForMouseEvents))
            continue;
        region += panel->mask().isEmpty() ? QRegion(panel->geometry())
                                          : panel->mask().translated(panel->pos());
    }
    // A corner pixel stands for "nothing": an empty input region means the whole window.
    return region.isEmpty() ? QRegion(0, 0, 1, 1) : region;
}

void LongCapturePanelHost::refreshInput() {
    if (QWindow* window = windowHandle()) window->setMask(inputRegion());
}

void LongCapturePanelHost::showOnScreen() {
    winId();
    const auto screens = QGuiApplication::screens();
    const auto screen = std::find_if(screens.begin(), screens.end(),
                                     [this](QScreen* s) { return s->geometry() == screen_; });
    if (screen != screens.end()) windowHandle()->setScreen(*screen);
    setGeometry(screen_);
    refreshInput();
    showMaximized();
}

bool LongCapturePanelHost::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            refreshInput();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void placePanel(QWidget* panel, const QPoint& topLeft) {
    const auto* host = dynamic_cast<const LongCapturePanelHost*>(panel->parentWidget());
    panel->move(host ? topLeft - host->origin() : topLeft);
}

QRect panelFrame(const QWidget* panel) {
    const auto* host = dynamic_cast<const LongCapturePanelHost*>(panel->parentWidget());
    return host ? panel->geometry().translated(host->origin()) : panel->frameGeometry();
}

}  // namespace tessal
