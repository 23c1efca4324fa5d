#include "ShortcutDialog.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "platform/KeyCodes.h"

namespace tessal {

ShortcutDialog::ShortcutDialog(const CaptureShortcut& current)
    : candidate_(current), box_(new QMessageBox), label_(new QLabel) {
    box_->setWindowTitle(QStringLiteral("Tessal"));
    box_->setText(QCoreApplication::translate("ShortcutDialog", "设置截图快捷键"));
    box_->setInformativeText(
        QCoreApplication::translate("ShortcutDialog", "请按下组合键，需包含 %1、%2 或 %3。")
            .arg(nativeModifier("Ctrl"), nativeModifier("Alt"), nativeKeys("Meta+A").chopped(2)));
    QPushButton* save = box_->addButton(QCoreApplication::translate("ShortcutDialog", "保存"),
                                        QMessageBox::AcceptRole);
    box_->addButton(QCoreApplication::translate("ShortcutDialog", "取消"), QMessageBox::RejectRole);
    box_->addButton(QCoreApplication::translate("ShortcutDialog", "恢复默认 %1")
                        .arg(CaptureShortcut::defaultShortcut().text()),
                    QMessageBox::ResetRole);
    box_->setDefaultButton(save);

    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(24);
    font.setWeight(QFont::Medium);
    label_->setFont(font);
    label_->setAlignment(Qt::AlignCenter);
    label_->setFixedSize(300, 42);
    label_->setText(candidate_.text());
    // The label goes in the row above the buttons, where an accessory view belongs.
    if (auto* grid = qobject_cast<QGridLayout*>(box_->layout()))
        grid->addWidget(label_, grid->rowCount(), 0, 1, grid->columnCount(), Qt::AlignCenter);
    box_->installEventFilter(this);
    for (QWidget* child : box_->findChildren<QWidget*>()) child->installEventFilter(this);
}

ShortcutDialog::~ShortcutDialog() {
    delete box_;
}

ShortcutDialog::Outcome ShortcutDialog::run() {
    box_->exec();
    const QMessageBox::ButtonRole role = box_->buttonRole(box_->clickedButton());
    if (role == QMessageBox::AcceptRole) return {Choice::save, candidate_};
    if (role == QMessageBox::ResetRole) return {Choice::restoreDefault, candidate_};
    return {Choice::cancel, candidate_};
}

bool ShortcutDialog::record(const KeyPress& press) {
    const auto shortcut = CaptureShortcut::from(press);
    if (!shortcut) return false;
    candidate_ = *shortcut;
    label_->setText(candidate_.text());
    return true;
}

bool ShortcutDialog::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const KeyPress press = keyPressFromEvent(*static_cast<QKeyEvent*>(event));
    if (!CaptureShortcut::from(press)) return false;  // Return, Escape and the rest go on
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();  // keeps an application shortcut from taking the combination
        return true;
    }
    return record(press);
}

}  // namespace tessal
