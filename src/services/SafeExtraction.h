#pragma once

#include <QString>
#include <optional>

namespace tessal {

// Unpacks a (compressed) tar archive into a new folder, accepting only folders, regular files
// and links that stay inside the folder: no absolute paths, no "..", no hard links, devices or
// FIFOs, no set-uid, set-gid or sticky bits, and bounded in entries and bytes. Returns the
// reason of a refusal (for logs and tests; the user is told only that the update was refused).
struct SafeExtraction {
    qint64 maximumEntries = 20'000;
    qint64 maximumEntryBytes = qint64(1) << 30;
    qint64 maximumTotalBytes = qint64(2) << 30;

    std::optional<QString> extract(const QString& archive, const QString& destination) const;
};

}  // namespace tessal
