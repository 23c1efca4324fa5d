#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tessal {

class MainQueue;

class DefaultsStore;

// The local history of screenshots that left the program (copied, saved, pinned): one PNG file
// per entry in a private folder, named "<20-digit microseconds since 1970>-<sha256>.png" so
// that names sort newest first. Kept within a number of entries the user chooses and a byte
// budget. Holds no list in memory: every call reads the folder afresh. Main thread only; its
// signals tell the windows what changed, so they follow without reading every file again.
class ScreenshotHistory final : public QObject {
    Q_OBJECT
  public:
    static constexpr qint64 standardMaximumBytes = 209'715'200;  // 200 MB
    static constexpr int standardLimit = 20;
    static inline const QString enabledKey = QStringLiteral("historyEnabled");
    static inline const QString limitKey = QStringLiteral("historyLimit");

    // `thumbnails`: a folder for the list's small pictures, so that a long history of large
    // screenshots opens at once; empty = no such cache.
    ScreenshotHistory(QString directory, DefaultsStore& defaults,
                      qint64 maximumBytes = standardMaximumBytes, QString thumbnails = {});

    // $XDG_DATA_HOME/Zelmar/History (default ~/.local/share/Zelmar/History).
    static QString standardDirectory();
    // $XDG_CACHE_HOME/local.ostrel/history-thumbnails (default ~/.cache/…).
    static QString standardThumbnailDirectory();

    const QString& directory() const { return directory_; }
    qint64 maximumBytes() const { return maximumBytes_; }

    bool enabled() const;
    void setEnabled(bool on);
    // 10, 20, 50 or 100; anything else stored reads, and is written, as 20.
    int limit() const;
    void setLimit(int value);

    // Keeps the PNG when recording is on, it fits the budget, it is an image and it is not the
    // newest entry again. Failures are not reported to the caller, only through lastError().
    void record(const QByteArray& png);

    // The same in two halves, so the writing can leave the main thread: what a recording needs
    // is taken on the main thread (nothing when recording is off); `write` then runs on any
    // thread; `finish`, back on the main thread, keeps its outcome.
    struct Recording {
        QString directory, thumbnails;
        qint64 maximumBytes = 0;
        int limit = standardLimit;
        qint64 time = 0;
    };
    struct Outcome {
        QString entry;  // the file written, empty when nothing was
        QString error;  // empty when all went well (or nothing was to be done)
        bool attempted = false;
        int pruned = 0;  // older entries deleted to keep within the limits
    };
    std::optional<Recording> prepare() const;
    static Outcome write(const Recording& recording, const QByteArray& png);
    void finish(const Outcome& outcome);
    // `write` here, on the worker that made the PNG; `finish` queued back on the main thread.
    static void writeThenFinish(ScreenshotHistory* history, const Recording& recording,
                                const QByteArray& png, MainQueue& mainQueue);
    // Entry files, newest first; empty when the folder is missing or unreadable.
    QStringList entries() const;
    // Deletes what no longer fits the limit or the budget; the first failure, in words.
    std::optional<QString> prune();
    // Deletes one entry (anything that is not an entry is left alone).
    std::optional<QString> remove(const QString& path);
    // Deletes every entry, stopping at the first failure.
    std::optional<QString> clear();
    // The last recording failure in words; empty after a success or a clear.
    const QString& lastError() const { return lastError_; }

    // An image file decoded to at most `maximum` pixels on its longer side, upright; null when
    // it cannot be read.
    static QImage thumbnail(const QString& path, int maximum);
    // The list thumbnail of an entry: from the cache when it is there, else decoded from the
    // entry and kept in the cache. Safe on a worker thread (touches only files).
    QImage listThumbnail(const QString& entry) const;
    static constexpr int listThumbnailSize = 96;

    // An entry was just written (to make its thumbnail ahead of time, off the main thread).
    std::function<void(const QString& entry)> onRecorded;
    // The recording time of an entry in seconds since 1970, from its name (0 when the name
    // does not start with digits).
    static double recordedAt(const QString& path);

    // The wall-clock time in microseconds since 1970; replaced by tests.
    std::function<qint64()> now;

  signals:
    // Entries were written or deleted through this store (list the folder to see which).
    void entriesChanged();
    // Recording was switched on or off.
    void recordingChanged(bool on);
    void lastErrorChanged();

  private:
    static QStringList entriesIn(const QString& directory);
    // `deleted` counts the entries removed, also when a later deletion fails.
    static std::optional<QString> pruneIn(const QString& directory, const QString& thumbnails,
                                          int limit, qint64 maximumBytes, int* deleted);
    void setLastError(const QString& error);
    // Deletes an entry and its cached thumbnail; false when the entry could not be deleted.
    static bool deleteEntry(const QString& entry, const QString& thumbnails);

    QString directory_;
    QString thumbnails_;
    DefaultsStore& defaults_;
    qint64 maximumBytes_;
    QString lastError_;
};

}  // namespace tessal
