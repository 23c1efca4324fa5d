#include "ScreenAccessNote.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace tessal {

ScreenAccessNote::ScreenAccessNote(std::function<void()> onCancel)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint),
      onCancel_(std::move(onCancel)) {
    setObjectName(QStringLiteral("screenAccessNote"));
    setWindowTitle(QCoreApplication::translate("ScreenAccessNote", "Tessal · 等待截图授权"));
    // The desktop's dialog keeps the keyboard: the user answers it, not us.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* label = new QLabel(
        QCoreApplication::translate("ScreenAccessNote",
                                    "桌面正在询问是否允许 Tessal 截图，请在它的对话框中选择“允许”。"
                                    "按 Esc 取消截图。"),
        this);
    label->setWordWrap(true);
    label->setMinimumWidth(320);
    auto* button =
        new QPushButton(QCoreApplication::translate("ScreenAccessNote", "取消截图"), this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this] { cancel(); });
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(label, 1);
    layout->addWidget(button, 0, Qt::AlignVCenter);
    adjustSize();
    // Above the middle of the main display, where the desktop puts its dialog: read together.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center().x() - width() / 2, area.top() + area.height() / 6);
    }
}

void ScreenAccessNote::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ScreenAccessNote::closeEvent(QCloseEvent* event) {
    event->ignore();  // the wait decides when the note goes
    cancel();
}

void ScreenAccessNote::cancel() {
    if (onCancel_) onCancel_();
}

}  // namespace tessal
