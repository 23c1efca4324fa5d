#include "AlertPresenter.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace tessal {

int MessageBoxPresenter::run(const AlertSpec& alert) {
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Tessal"));
    box.setIcon(QMessageBox::Information);
    box.setText(alert.message);
    box.setInformativeText(alert.informative);
    QList<QAbstractButton*> buttons;
    const QStringList titles =
        alert.buttons.isEmpty() ? QStringList{QStringLiteral("知道了")} : alert.buttons;
    for (int i = 0; i < titles.size(); ++i) {
        // Roles only decide placement: the first button leads and is the default.
        const auto role = i == 0 ? QMessageBox::AcceptRole
                                 : (i == 1 ? QMessageBox::RejectRole : QMessageBox::ActionRole);
        buttons << box.addButton(titles[i], role);
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    const int index = buttons.indexOf(box.clickedButton());
    // Closing the box without a button counts as its cancelling button, or the only one.
    if (index < 0) return titles.size() > 1 ? 1 : 0;
    return index;
}

}  // namespace tessal
