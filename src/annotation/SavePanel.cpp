#include "SavePanel.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QStandardPaths>

#include "tools/SaveDestination.h"

namespace tessal {

void configureSavePanel(QFileDialog& dialog, const DefaultsStore& defaults, const QString& pictures,
                        const QString& home) {
    // Qt's own dialog, so the labels below are the ones shown.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowTitle(QCoreApplication::translate("SavePanel", "保存截图"));
    dialog.setLabelText(QFileDialog::Accept, QCoreApplication::translate("SavePanel", "保存"));
    dialog.setLabelText(QFileDialog::FileName,
                        QCoreApplication::translate("SavePanel", "文件名："));
    dialog.setLabelText(QFileDialog::Reject, QCoreApplication::translate("SavePanel", "取消"));
    dialog.setNameFilter(QStringLiteral("PNG (*.png)"));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    const SaveDestination::StartFolder start =
        SaveDestination::startFolder(defaults, pictures, home);
    dialog.setDirectory(start.path);
    if (!start.note.isEmpty()) {
        // Qt's dialog lays itself out on a grid: the note takes a row of its own at the bottom.
        auto* note = new QLabel(start.note, &dialog);
        note->setObjectName(QStringLiteral("saveFolderNote"));
        note->setWordWrap(true);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(note, grid->rowCount(), 0, 1, grid->columnCount());
    }
    dialog.selectFile(SaveDestination::defaultFileName(QDateTime::currentSecsSinceEpoch()));
}

std::optional<QString> runSavePanel(const DefaultsStore& defaults) {
    QFileDialog dialog;
    configureSavePanel(dialog, defaults,
                       QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                       QDir::homePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

}  // namespace tessal
