#include "DesktopServices.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QUrl>
#include <QWindow>

namespace tessal {

bool QtPasteboard::setPng(const QByteArray& png) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard || png.isEmpty()) return false;
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/png"), png);
    clipboard->setMimeData(data, QClipboard::Clipboard);
    return true;
}

bool QtPasteboard::setText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setText(text, QClipboard::Clipboard);
    return true;
}

bool QtWorkspace::openAddress(const QString& address) {
    const QUrl url(address);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool QtWorkspace::openAccessibilitySettings() {
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toUpper();
    if (desktop.contains("GNOME") || desktop.contains("UNITY") || desktop.contains("BUDGIE"))
        return QProcess::startDetached("gnome-control-center", {"universal-access"});
    if (desktop.contains("KDE")) return QProcess::startDetached("systemsettings", {"kcm_access"});
    if (desktop.contains("MATE")) return QProcess::startDetached("mate-at-properties", {});
    return false;
}

bool QtWorkspace::grabKeyboard(QWindow* window) {
    // Qt's xcb backend asks the server for the grab and reports its status.
    return window && window->setKeyboardGrabEnabled(true);
}

}  // namespace tessal
