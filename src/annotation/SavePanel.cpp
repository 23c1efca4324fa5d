#include "SavePanel.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>

#include "tools/SaveDestination.h"

namespace tessal {

std::optional<QString> runSavePanel(const DefaultsStore& defaults) {
    QFileDialog dialog;
    // Qt's own dialog, so the labels below are the ones shown.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowTitle(QStringLiteral("保存截图"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("保存"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名："));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    dialog.setNameFilter(QStringLiteral("PNG (*.png)"));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    const QString folder = SaveDestination::rememberedDirectory(defaults);
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    dialog.selectFile(SaveDestination::defaultFileName(QDateTime::currentSecsSinceEpoch()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

}  // namespace tessal
