#pragma once

#include <QByteArray>
#include <QString>

namespace tessal {

class DefaultsStore;

// Where a screenshot the user saves goes: the file name offered, the folder remembered, and a
// write that never leaves a partial file.
namespace SaveDestination {
inline constexpr const char* lastSaveDirectoryKey = "lastSaveDirectory";

// "截图-" + whole seconds since 1970 + ".png".
QString defaultFileName(qint64 secondsSinceEpoch);
// The folder of the last save, when it still exists; empty otherwise.
QString rememberedDirectory(const DefaultsStore& defaults);

// Where the save dialog opens: the folder of the last save while it exists, else the user's
// pictures folder (`pictures`, from the XDG user dirs), else `home`, and then `note` says why.
struct StartFolder {
    QString path;
    QString note;  // empty unless the pictures folder could not be used
};
StartFolder startFolder(const DefaultsStore& defaults, const QString& pictures,
                        const QString& home);
// Writes atomically; only then remembers the folder. On failure `error` says why.
bool writePNG(const QByteArray& png, const QString& path, DefaultsStore& defaults, QString* error);
}  // namespace SaveDestination

}  // namespace tessal
