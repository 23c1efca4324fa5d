#include "UpdateStatusPanel.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

namespace tessal {

UpdateStatusPanel::UpdateStatusPanel(const QString& appName, const QString& version)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                           Qt::WindowStaysOnTopHint) {
    setWindowTitle(
        QCoreApplication::translate("UpdateStatusPanel", "正在下载%1 %2").arg(appName, version));
    setFixedSize(360, 100);
    // Placed from the top: the bar's bottom edge is 45 points above the panel's, the label's 16.
    auto* bar = new QProgressBar(this);
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    bar->setGeometry(24, 100 - 45 - 18, 312, 18);
    auto* label = new QLabel(
        QCoreApplication::translate("UpdateStatusPanel", "下载并校验完成后，可重启安装。"), this);
    label->setGeometry(24, 100 - 16 - 22, 312, 22);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

}  // namespace tessal
