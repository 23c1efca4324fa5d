#include "SavePanel.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QTreeView>

#include "platform/FileChooser.h"
#include "tools/SaveDestination.h"

namespace tessal {
namespace {

struct SaveSetup {
    FileChooser::SaveRequest request;
    QString note;  // why the pictures folder is not where it opens; empty when it is
};

SaveSetup saveSetup(const DefaultsStore& defaults, const QString& pictures, const QString& home) {
    const SaveDestination::StartFolder start =
        SaveDestination::startFolder(defaults, pictures, home);
    return {{QCoreApplication::translate("SavePanel", "保存截图"),
             QCoreApplication::translate("SavePanel", "保存"), start.path,
             SaveDestination::defaultFileName(QDateTime::currentSecsSinceEpoch()),
             QStringLiteral("PNG"), QStringLiteral("*.png")},
            start.note};
}

// Qt's dialog adds the extension to a bare name; the desktop's chooser returns what was typed.
// A bare name whose .png form already exists stays bare rather than replace a file the user
// was never asked about.
QString withExtension(const QString& path) {
    if (!QFileInfo(path).suffix().isEmpty() || QFileInfo::exists(path + QStringLiteral(".png")))
        return path;
    return path + QStringLiteral(".png");
}

// Qt's default size elides the places' names and the size, type and date columns.
void giveTheListRoom(QFileDialog& dialog) {
    dialog.resize(dialog.sizeHint().expandedTo(QSize(880, 560)));
    if (auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = list->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
    if (places && splitter && splitter->count() == 2) {
        const int wanted = std::clamp(places->sizeHintForColumn(0) + 2 * places->frameWidth() +
                                          places->verticalScrollBar()->sizeHint().width(),
                                      160, 280);
        const int total = splitter->sizes().value(0) + splitter->sizes().value(1);
        splitter->setSizes({wanted, std::max(total, dialog.width()) - wanted});
    }
}

}  // namespace

void configureSavePanel(QFileDialog& dialog, const DefaultsStore& defaults, const QString& pictures,
                        const QString& home) {
    const SaveSetup setup = saveSetup(defaults, pictures, home);
    // Qt's own dialog, so the labels below are the ones shown.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowTitle(setup.request.title);
    dialog.setLabelText(QFileDialog::Accept, setup.request.acceptLabel);
    dialog.setLabelText(QFileDialog::FileName,
                        QCoreApplication::translate("SavePanel", "文件名："));
    dialog.setLabelText(QFileDialog::Reject, QCoreApplication::translate("SavePanel", "取消"));
    dialog.setNameFilter(
        QStringLiteral("%1 (%2)").arg(setup.request.filterName, setup.request.pattern));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.setDirectory(setup.request.folder);
    if (!setup.note.isEmpty()) {
        // Qt's dialog lays itself out on a grid: the note takes a row of its own at the bottom.
        auto* note = new QLabel(setup.note, &dialog);
        note->setObjectName(QStringLiteral("saveFolderNote"));
        note->setWordWrap(true);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(note, grid->rowCount(), 0, 1, grid->columnCount());
    }
    dialog.selectFile(setup.request.name);
    giveTheListRoom(dialog);
}

std::optional<QString> runSavePanel(const DefaultsStore& defaults, FileChooser* desktop,
                                    const QString& pictures, const QString& home) {
    if (desktop) {
        const FileChooser::Answer answer =
            desktop->save(saveSetup(defaults, pictures, home).request);
        if (answer.outcome == FileChooser::Outcome::cancelled) return std::nullopt;
        if (answer.outcome == FileChooser::Outcome::chosen) return withExtension(answer.path);
    }
    QFileDialog dialog;
    configureSavePanel(dialog, defaults, pictures, home);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> runSavePanel(const DefaultsStore& defaults, FileChooser* desktop) {
    return runSavePanel(defaults, desktop,
                        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                        QDir::homePath());
}

}  // namespace tessal
