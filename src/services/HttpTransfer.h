#pragma once

#include <QByteArray>
#include <QUrl>
#include <functional>
#include <optional>

#include "base/UserError.h"

class QIODevice;

namespace tessal {

// One GET in a session of its own: no cache, no cookies, no credentials; the session ends with
// the transfer on every path.
struct HttpTransfer {
    QUrl url;
    QByteArray accept;
    // No bytes for this long ends the transfer (0: no limit).
    int idleTimeoutMs = 0;
    // The whole transfer may take this long (0: no limit).
    int totalTimeoutMs = 0;
    // The body is kept in memory up to this size, or written to `sink` when one is given.
    qint64 bodyLimit = -1;
    QIODevice* sink = nullptr;
    QString sinkPath;  // the sink's file, for the reason a write failed

    struct Outcome {
        // A network failure, a timeout, or a sink that could not be written.
        std::optional<UserError> error;
        int status = 0;
        QUrl finalUrl;
        QByteArray body;
        bool bodyTooLarge = false;
    };

    // The failure of writing a download to `path` on disk, with the reason the disk shows.
    static UserError sinkFailure(const QString& path, qint64 bytes);

    // Runs on the calling thread's event loop and reports there.
    void start(std::function<void(Outcome)> done) const;
    // Runs a local event loop until done; for worker threads.
    Outcome run() const;
};

}  // namespace tessal
