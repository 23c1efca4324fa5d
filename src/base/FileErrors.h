#pragma once

#include <QString>

namespace tessal {

// Short Chinese reasons for file failures, judged from the file system after the fact, so a
// message never carries the system's English wording.

// Why writing `bytes` bytes to `path` failed: missing folder, a folder in the way, read-only
// disk, full disk, no permission; "写入失败" when none of these shows.
QString writeFailureReason(const QString& path, qint64 bytes = 0);

// What stops a file from being written at `path` before anything is written (missing folder,
// a folder in the way, read-only disk, no permission), or empty when nothing does.
QString writeObstacle(const QString& path);

// Why `path` cannot be read as a file, or empty when it is a readable file.
QString readFailureReason(const QString& path);

}  // namespace tessal
