#include "LongCaptureTrimDialog.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "LongCaptureCropView.h"

namespace tessal {

LongCaptureTrimAnswer runLongCaptureTrimDialog(const QImage& normalized, LongCaptureAxis axis,
                                               LongCaptureCrop crop) {
    const bool vertical = axis == LongCaptureAxis::vertical;
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Tessal"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* message = new QLabel(QCoreApplication::translate("LongCaptureTrimDialog", "裁剪长图"));
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    layout->addWidget(message);
    layout->addWidget(new QLabel(
        vertical ? QCoreApplication::translate("LongCaptureTrimDialog",
                                               "拖动蓝线，或输入顶部、底部要去掉的像素。")
                 : QCoreApplication::translate("LongCaptureTrimDialog",
                                               "拖动蓝线，或输入左端、右端要去掉的像素。")));

    auto* accessory = new QWidget;
    accessory->setFixedSize(300, 355);
    auto* view = new LongCaptureCropView(normalized, axis, crop, accessory);
    view->move(0, 0);
    auto field = [accessory](const QString& label, int labelX, int fieldX, int value) {
        auto* l = new QLabel(label, accessory);
        l->setGeometry(labelX, 355 - 4 - 20, 40, 20);
        auto* f = new QLineEdit(QString::number(value), accessory);
        f->setGeometry(fieldX, 355 - 2 - 24, 75, 24);
        return f;
    };
    QLineEdit* leading =
        field(vertical ? QCoreApplication::translate("LongCaptureTrimDialog", "顶部")
                       : QCoreApplication::translate("LongCaptureTrimDialog", "左端"),
              5, 45, crop.leading);
    QLineEdit* trailing =
        field(vertical ? QCoreApplication::translate("LongCaptureTrimDialog", "底部")
                       : QCoreApplication::translate("LongCaptureTrimDialog", "右端"),
              165, 210, crop.trailing);
    view->onChange = [leading, trailing](LongCaptureCrop c) {
        leading->setText(QString::number(c.leading));
        trailing->setText(QString::number(c.trailing));
    };
    layout->addWidget(accessory);

    LongCaptureTrimAnswer answer;
    auto* buttons = new QDialogButtonBox;
    QPushButton* apply = buttons->addButton(
        QCoreApplication::translate("LongCaptureTrimDialog", "应用"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QCoreApplication::translate("LongCaptureTrimDialog", "取消"),
                       QDialogButtonBox::RejectRole);
    QPushButton* restore =
        buttons->addButton(QCoreApplication::translate("LongCaptureTrimDialog", "恢复完整长图"),
                           QDialogButtonBox::ResetRole);
    apply->setDefault(true);
    QObject::connect(apply, &QPushButton::clicked, &dialog, [&] {
        answer.button = LongCaptureTrimAnswer::Button::apply;
        dialog.accept();
    });
    QObject::connect(restore, &QPushButton::clicked, &dialog, [&] {
        answer.button = LongCaptureTrimAnswer::Button::restore;
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
    answer.leading = leading->text();
    answer.trailing = trailing->text();
    return answer;
}

}  // namespace tessal
