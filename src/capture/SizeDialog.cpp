#include "SizeDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace tessal {

std::optional<Size> runSizeDialog(QSize current) {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Tessal"));
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("设置截图尺寸")));
    auto* row = new QHBoxLayout;
    auto* width = new QLineEdit(QString::number(current.width()));
    auto* height = new QLineEdit(QString::number(current.height()));
    width->setFixedWidth(90);
    height->setFixedWidth(90);
    width->setAccessibleName(QStringLiteral("宽度像素"));
    height->setAccessibleName(QStringLiteral("高度像素"));
    row->addWidget(new QLabel(QStringLiteral("宽")));
    row->addWidget(width);
    row->addWidget(new QLabel(QStringLiteral("高")));
    row->addWidget(height);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    auto number = [](const QLineEdit* field) {
        bool isNumber = false;
        const double v = field->text().trimmed().toDouble(&isNumber);
        return isNumber ? v : std::numeric_limits<double>::quiet_NaN();
    };
    return Size{number(width), number(height)};
}

}  // namespace tessal
