#pragma once

#include <QString>
#include <optional>

class QFileDialog;

namespace tessal {

class DefaultsStore;

// The save dialog "保存截图": PNG only, extension shown, the default name, opening in the folder
// SaveDestination::startFolder gives for the user's pictures and home folders. Returns the
// chosen path, or nothing when cancelled.
std::optional<QString> runSavePanel(const DefaultsStore& defaults);
// The dialog set up but not shown; a note under the file name says when the pictures folder
// could not be used.
void configureSavePanel(QFileDialog& dialog, const DefaultsStore& defaults, const QString& pictures,
                        const QString& home);

}  // namespace tessal
