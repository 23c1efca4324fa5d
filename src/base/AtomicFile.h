#pragma once

#include <QByteArray>
#include <QString>

namespace tessal {

// Replaces the file at `path` with `bytes` in one step: either the new contents are complete
// on disk or the old file is untouched (no partial file is ever left). On failure `error`
// gets a short Chinese reason.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

}  // namespace tessal
