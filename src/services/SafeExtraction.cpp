#include "SafeExtraction.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <memory>

namespace tessal {

namespace {

struct ReaderDeleter {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct WriterDeleter {
    void operator()(archive* a) const { archive_write_free(a); }
};

// The entry's path made relative and clean, or empty when it would leave the folder.
QString confinedPath(const QString& raw) {
    if (raw.isEmpty() || raw.startsWith(QLatin1Char('/'))) return {};
    const QStringList parts = raw.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList kept;
    for (const QString& part : parts) {
        if (part == QLatin1String("..")) return {};
        if (part != QLatin1String(".")) kept << part;
    }
    return kept.join(QLatin1Char('/'));
}

// Whether a link stays inside the folder whatever the other links are: relative and never
// climbing (a ".." after a link to "." would otherwise leave by the back door).
bool linkStaysInside(const QString& target) {
    return !target.isEmpty() && !target.startsWith(QLatin1Char('/')) &&
           !target.split(QLatin1Char('/')).contains(QLatin1String(".."));
}

}  // namespace

std::optional<QString> SafeExtraction::extract(const QString& archivePath,
                                               const QString& destination) const {
    std::unique_ptr<archive, ReaderDeleter> reader(archive_read_new());
    std::unique_ptr<archive, WriterDeleter> writer(archive_write_disk_new());
    if (!reader || !writer) return QStringLiteral("out of memory");
    archive_read_support_filter_gzip(reader.get());
    archive_read_support_filter_xz(reader.get());
    archive_read_support_filter_zstd(reader.get());
    archive_read_support_format_tar(reader.get());
    // The checks below come first; these flags are a second line behind them.
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_TIME |
                                                     ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                     ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                                     ARCHIVE_EXTRACT_NO_OVERWRITE);
    if (archive_read_open_filename(reader.get(), QFile::encodeName(archivePath).constData(),
                                   1 << 16) != ARCHIVE_OK)
        return QStringLiteral("cannot open the archive");
    if (!QDir().mkdir(destination)) return QStringLiteral("cannot create the folder");
    // Canonical, so that the links checks of the writer see no link above the folder.
    const QString root = QDir(destination).canonicalPath();

    qint64 entries = 0;
    qint64 total = 0;
    archive_entry* entry = nullptr;
    while (true) {
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF) break;
        if (status != ARCHIVE_OK) return QStringLiteral("damaged archive");
        if (++entries > maximumEntries) return QStringLiteral("too many entries");
        const QString raw = QString::fromUtf8(archive_entry_pathname(entry));
        const QString path = confinedPath(raw);
        if (path.isEmpty()) {
            if (raw == QLatin1String(".") || raw == QLatin1String("./")) continue;
            return QStringLiteral("path leaves the folder: %1").arg(raw);
        }
        if (archive_entry_hardlink(entry)) return QStringLiteral("hard link: %1").arg(raw);
        const mode_t type = archive_entry_filetype(entry);
        if (type == AE_IFLNK) {
            if (!linkStaysInside(QString::fromUtf8(archive_entry_symlink(entry))))
                return QStringLiteral("link leaves the folder: %1").arg(raw);
        } else if (type != AE_IFREG && type != AE_IFDIR) {
            return QStringLiteral("not a file or folder: %1").arg(raw);
        }
        const qint64 size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
        if (size < 0 || size > maximumEntryBytes) return QStringLiteral("entry too large");
        total += size;
        if (total > maximumTotalBytes) return QStringLiteral("archive too large");

        // Nothing extracted is writable by others, and every folder stays the user's to empty,
        // whatever the archive says.
        archive_entry_set_perm(entry,
                               (archive_entry_perm(entry) & 0755) | (type == AE_IFDIR ? 0700 : 0));
        archive_entry_set_uid(entry, 0);
        archive_entry_set_gid(entry, 0);
        archive_entry_set_pathname(entry, QFile::encodeName(root + QLatin1Char('/') + path));
        if (archive_write_header(writer.get(), entry) != ARCHIVE_OK)
            return QStringLiteral("cannot write %1: %2")
                .arg(raw, QString::fromUtf8(archive_error_string(writer.get())));
        if (type == AE_IFREG && size > 0) {
            const void* block = nullptr;
            size_t length = 0;
            la_int64_t offset = 0;
            int read;
            while ((read = archive_read_data_block(reader.get(), &block, &length, &offset)) ==
                   ARCHIVE_OK) {
                if (offset + qint64(length) > size) return QStringLiteral("entry too large");
                if (archive_write_data_block(writer.get(), block, length, offset) < ARCHIVE_OK)
                    return QStringLiteral("cannot write %1").arg(raw);
            }
            if (read != ARCHIVE_EOF) return QStringLiteral("damaged archive");
        }
        if (archive_write_finish_entry(writer.get()) != ARCHIVE_OK)
            return QStringLiteral("cannot finish %1").arg(raw);
    }
    if (archive_write_close(writer.get()) != ARCHIVE_OK)
        return QStringLiteral("cannot finish the folder");
    return std::nullopt;
}

}  // namespace tessal
