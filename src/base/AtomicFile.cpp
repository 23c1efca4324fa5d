#include "AtomicFile.h"

#include <QSaveFile>

namespace tessal {

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    // Unbuffered, so a short write (full disk, size limit) shows in write() itself: a buffered
    // QSaveFile can commit a truncated file when only the final flush comes up short.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error) *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error) *error = file.errorString();
        file.cancelWriting();
        file.commit();  // only removes the temporary file
        return false;
    }
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace tessal
