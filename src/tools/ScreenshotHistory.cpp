#include "ScreenshotHistory.h"

#include "base/MainQueue.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <chrono>
#include <cmath>

#include "base/AtomicFile.h"
#include "base/DataHome.h"
#include "base/DefaultsStore.h"
#include "base/FileErrors.h"

namespace tessal {
namespace {

bool validLimit(double value) {
    return value == 10 || value == 20 || value == 50 || value == 100;
}

QString deletionFailure(const QString& path) {
    return QCoreApplication::translate("ScreenshotHistory", "无法删除“%1”：%2")
        .arg(QFileInfo(path).fileName(), writeFailureReason(path));
}

}  // namespace

ScreenshotHistory::ScreenshotHistory(QString directory, DefaultsStore& defaults,
                                     qint64 maximumBytes, QString thumbnails)
    : directory_(std::move(directory)),
      thumbnails_(std::move(thumbnails)),
      defaults_(defaults),
      maximumBytes_(maximumBytes) {
    now = [] {
        return qint64(std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count());
    };
}

QString ScreenshotHistory::standardDirectory() {
    return dataHome() + QStringLiteral("/Zelmar/History");
}

QString ScreenshotHistory::standardThumbnailDirectory() {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache)) cache = QDir::homePath() + "/.cache";
    return cache + QStringLiteral("/local.ostrel/history-thumbnails");
}

bool ScreenshotHistory::enabled() const {
    return defaults_.boolValue(enabledKey, false);
}

void ScreenshotHistory::setEnabled(bool on) {
    const bool was = enabled();
    defaults_.set(enabledKey, on);
    if (was != on) emit recordingChanged(on);
}

int ScreenshotHistory::limit() const {
    const auto stored = defaults_.numberValue(limitKey);
    return stored && validLimit(*stored) ? int(*stored) : standardLimit;
}

void ScreenshotHistory::setLimit(int value) {
    defaults_.set(limitKey, validLimit(value) ? value : standardLimit);
}

void ScreenshotHistory::record(const QByteArray& png) {
    if (const auto recording = prepare()) finish(write(*recording, png));
}

std::optional<ScreenshotHistory::Recording> ScreenshotHistory::prepare() const {
    if (!enabled()) return std::nullopt;
    return Recording{directory_, thumbnails_, maximumBytes_, limit(), now()};
}

ScreenshotHistory::Outcome ScreenshotHistory::write(const Recording& recording,
                                                    const QByteArray& png) {
    Outcome outcome;
    if (png.size() > recording.maximumBytes) return outcome;
    // An image is what a reader recognises and can give a size for; the pixels themselves are
    // not decoded, so recording costs no more than hashing and writing the bytes.
    QByteArray bytes = png;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead() || !reader.size().isValid() || reader.size().isEmpty()) return outcome;

    const QString digest =
        QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha256).toHex());
    const QStringList existing = entriesIn(recording.directory);
    if (!existing.isEmpty() && QFileInfo(existing.front()).fileName().contains(digest))
        return outcome;

    outcome.attempted = true;
    const QString& directory = recording.directory;
    if (!QDir().mkpath(directory) ||
        !QFile::setPermissions(
            directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        outcome.error =
            QCoreApplication::translate("ScreenshotHistory", "无法创建历史文件夹“%1”：%2")
                .arg(directory, writeFailureReason(directory + "/entry.png"));
        return outcome;
    }
    const QString name =
        QString::asprintf("%020.0f", double(recording.time)) + "-" + digest + ".png";
    const QString path = QDir(directory).filePath(name);
    QString error;
    if (!writeFileAtomically(path, png, &error)) {
        outcome.error =
            QCoreApplication::translate("ScreenshotHistory", "无法写入“%1”：%2").arg(name, error);
        return outcome;
    }
    if (!QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        // Cleared or removed from the main thread in the meantime: nothing kept, nothing failed.
        if (!QFileInfo::exists(path)) return outcome;
        outcome.entry = path;
        outcome.error =
            QCoreApplication::translate("ScreenshotHistory", "无法设置“%1”的权限").arg(name);
        return outcome;
    }
    outcome.entry = path;
    if (const auto pruned = pruneIn(directory, recording.thumbnails, recording.limit,
                                    recording.maximumBytes, &outcome.pruned))
        outcome.error = *pruned;
    return outcome;
}

void ScreenshotHistory::finish(const Outcome& outcome) {
    if (!outcome.entry.isEmpty() && onRecorded) onRecorded(outcome.entry);
    if (outcome.attempted) setLastError(outcome.error);
    if (!outcome.entry.isEmpty() || outcome.pruned > 0) emit entriesChanged();
}

void ScreenshotHistory::setLastError(const QString& error) {
    if (error == lastError_) return;
    lastError_ = error;
    emit lastErrorChanged();
}

void ScreenshotHistory::writeThenFinish(ScreenshotHistory* history, const Recording& recording,
                                        const QByteArray& png, MainQueue& mainQueue) {
    const Outcome outcome = write(recording, png);
    mainQueue.async([history, outcome] { history->finish(outcome); });
}

bool ScreenshotHistory::deleteEntry(const QString& entry, const QString& thumbnails) {
    if (!thumbnails.isEmpty())
        QFile::remove(QDir(thumbnails).filePath(QFileInfo(entry).fileName()));
    return QFile::remove(entry) || !QFileInfo::exists(entry);
}

QImage ScreenshotHistory::listThumbnail(const QString& entry) const {
    if (thumbnails_.isEmpty()) return thumbnail(entry, listThumbnailSize);
    // Named like the entry, whose name holds the digest of its bytes: never stale.
    const QString cached = QDir(thumbnails_).filePath(QFileInfo(entry).fileName());
    QImage image = QImage(cached);
    if (!image.isNull()) return image;
    image = thumbnail(entry, listThumbnailSize);
    if (image.isNull() || !QFileInfo::exists(entry)) return image;
    QDir().mkpath(thumbnails_);
    QFile::setPermissions(thumbnails_,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.save(&buffer, "PNG") && writeFileAtomically(cached, bytes))
        QFile::setPermissions(cached, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return image;
}

QStringList ScreenshotHistory::entries() const {
    return entriesIn(directory_);
}

QStringList ScreenshotHistory::entriesIn(const QString& directory) {
    QDir dir(directory);
    if (!dir.exists()) return {};
    QStringList list;
    // Exactly the files whose extension is "png"; "PNG" or anything else is not ours.
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (auto it = files.crbegin(); it != files.crend(); ++it)
        if (it->suffix() == QLatin1String("png")) list << it->absoluteFilePath();
    return list;
}

std::optional<QString> ScreenshotHistory::prune() {
    int deleted = 0;
    const auto error = pruneIn(directory_, thumbnails_, limit(), maximumBytes_, &deleted);
    if (deleted > 0) emit entriesChanged();
    return error;
}

std::optional<QString> ScreenshotHistory::pruneIn(const QString& directory,
                                                  const QString& thumbnails, int limit,
                                                  qint64 maximumBytes, int* deleted) {
    qint64 kept = 0;
    const QStringList list = entriesIn(directory);
    for (int i = 0; i < list.size(); ++i) {
        const qint64 size = std::max<qint64>(QFileInfo(list[i]).size(), 0);
        if (i < limit && kept + size <= maximumBytes) {
            kept += size;
            continue;
        }
        if (!deleteEntry(list[i], thumbnails)) return deletionFailure(list[i]);
        ++*deleted;
    }
    return std::nullopt;
}

std::optional<QString> ScreenshotHistory::remove(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!entries().contains(absolute)) return std::nullopt;
    if (!deleteEntry(absolute, thumbnails_)) return deletionFailure(absolute);
    emit entriesChanged();
    return std::nullopt;
}

std::optional<QString> ScreenshotHistory::clear() {
    int deleted = 0;
    std::optional<QString> error;
    for (const QString& entry : entries()) {
        if (!deleteEntry(entry, thumbnails_)) {
            error = deletionFailure(entry);
            break;
        }
        ++deleted;
    }
    if (deleted > 0) emit entriesChanged();
    if (!error) setLastError({});
    return error;
}

QImage ScreenshotHistory::thumbnail(const QString& path, int maximum) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || maximum <= 0) return {};
    // The reader's size is before any rotation: a quarter turn swaps the sides.
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    if (turned) size.transpose();
    if (std::max(size.width(), size.height()) <= maximum) return reader.read();
    const QSize fitted = size.scaled(maximum, maximum, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    // A 1-bit image scaled while it is read comes out black and white, its palette lost: it is
    // read whole (small in memory) and scaled afterwards.
    if (const QImage::Format format = reader.imageFormat();
        format == QImage::Format_Mono || format == QImage::Format_MonoLSB) {
        const QImage whole = reader.read();
        if (whole.isNull()) return whole;
        return whole.convertToFormat(QImage::Format_ARGB32)
            .scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    reader.setScaledSize(turned ? fitted.transposed() : fitted);
    return reader.read();
}

double ScreenshotHistory::recordedAt(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const QString digits = name.section('-', 0, 0);
    bool ok = false;
    const double microseconds = digits.toDouble(&ok);
    return ok && std::isfinite(microseconds) ? microseconds / 1e6 : 0;
}

}  // namespace tessal
