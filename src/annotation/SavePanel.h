#pragma once

#include <QString>
#include <optional>

class QFileDialog;

namespace tessal {

class DefaultsStore;
class FileChooser;

// The save dialog "保存截图": PNG only, extension shown, the default name, opening in the folder
// SaveDestination::startFolder gives for the user's pictures and home folders. The desktop's
// own chooser (`desktop`) where it answers, Qt's dialog where there is none or it fails.
// Returns the chosen path, or nothing when cancelled.
std::optional<QString> runSavePanel(const DefaultsStore& defaults, FileChooser* desktop = nullptr);
// The same with the pictures and home folders given.
std::optional<QString> runSavePanel(const DefaultsStore& defaults, FileChooser* desktop,
                                    const QString& pictures, const QString& home);
// Qt's dialog set up but not shown; a note under the file name says when the pictures folder
// could not be used.
void configureSavePanel(QFileDialog& dialog, const DefaultsStore& defaults, const QString& pictures,
                        const QString& home);

}  // namespace tessal
