#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <functional>
#include <optional>

namespace tessal {

// The user's defaults: one JSON object, types kept as written (a Boolean never reads as a
// number). Every change replaces the file atomically; an unreadable file is set aside under a
// new name, never deleted, and the store starts empty.
class DefaultsStore {
  public:
    // readOnly: for a short look (a run of the command line beside the resident program): a
    // damaged file reads as empty and stays where it is, and changes are kept in memory only.
    enum class Access { readWrite, readOnly };
    explicit DefaultsStore(QString path, Access access = Access::readWrite);

    // $XDG_CONFIG_HOME/local.ostrel/defaults.json
    static QString standardPath();

    const QString& path() const { return path_; }
    // Where a corrupt file was moved at load, or empty.
    const QString& setAsidePath() const { return setAsidePath_; }
    // Set when the last write failed; the file on disk then still holds the previous contents.
    bool lastWriteFailed() const { return !lastWriteError_.isEmpty(); }
    // A damaged file that could not be moved aside: it is left exactly as it was and this store
    // never writes over it; changes live only in memory.
    bool keepsDamagedFile() const { return keepsDamagedFile_; }
    // The Chinese reason of the last failed write, or empty.
    const QString& lastWriteError() const { return lastWriteError_; }

    // Called on the first failed write of this store's life (and not again), so the user is
    // told once rather than at every change.
    std::function<void(const QString& reason)> onWriteFailure;

    bool contains(const QString& key) const { return values_.contains(key); }
    QJsonValue value(const QString& key) const { return values_.value(key); }
    std::optional<bool> boolValue(const QString& key) const;
    std::optional<double> numberValue(const QString& key) const;
    std::optional<QString> stringValue(const QString& key) const;
    bool boolValue(const QString& key, bool fallback) const {
        return boolValue(key).value_or(fallback);
    }

    void set(const QString& key, const QJsonValue& value);
    // Writes several keys with one file replacement.
    void set(const QJsonObject& values);
    void remove(const QString& key);

  private:
    void load();
    void save();

    QString path_;
    Access access_;
    QString setAsidePath_;
    QJsonObject values_;
    QString lastWriteError_;
    bool keepsDamagedFile_ = false;
    bool failureReported_ = false;
};

}  // namespace tessal
