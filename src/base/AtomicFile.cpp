#include "AtomicFile.h"

#include <QSaveFile>

#include "FileErrors.h"

namespace tessal {

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    // Unbuffered, so a short write (full disk, size limit) shows in write() itself: a buffered
    // QSaveFile can commit a truncated file when only the final flush comes up short.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error) *error = writeFailureReason(path, bytes.size());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error) *error = writeFailureReason(path, bytes.size());
        file.cancelWriting();
        file.commit();  // only removes the temporary file
        return false;
    }
    if (!file.commit()) {
        if (error) *error = writeFailureReason(path, bytes.size());
        return false;
    }
    return true;
}

}  // namespace tessal
