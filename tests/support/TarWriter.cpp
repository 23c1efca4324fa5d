#include "TarWriter.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace tessal::test {

bool writeTar(const QString& path, const std::vector<TarEntry>& entries) {
    archive* out = archive_write_new();
    archive_write_add_filter_gzip(out);
    archive_write_set_format_pax_restricted(out);
    bool ok = archive_write_open_filename(out, QFile::encodeName(path).constData()) == ARCHIVE_OK;
    for (const TarEntry& e : entries) {
        if (!ok) break;
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.path.toUtf8().constData());
        archive_entry_set_perm(entry, e.mode);
        switch (e.type) {
            case TarEntry::Type::file:
                archive_entry_set_filetype(entry, AE_IFREG);
                archive_entry_set_size(entry, e.content.size());
                break;
            case TarEntry::Type::folder:
                archive_entry_set_filetype(entry, AE_IFDIR);
                break;
            case TarEntry::Type::link:
                archive_entry_set_filetype(entry, AE_IFLNK);
                archive_entry_set_symlink(entry, e.target.toUtf8().constData());
                break;
            case TarEntry::Type::hardLink:
                archive_entry_set_filetype(entry, AE_IFREG);
                archive_entry_set_hardlink(entry, e.target.toUtf8().constData());
                break;
            case TarEntry::Type::fifo:
                archive_entry_set_filetype(entry, AE_IFIFO);
                break;
            case TarEntry::Type::device:
                archive_entry_set_filetype(entry, AE_IFCHR);
                archive_entry_set_rdev(entry, makedev(1, 3));
                break;
        }
        ok = archive_write_header(out, entry) == ARCHIVE_OK;
        if (ok && e.type == TarEntry::Type::file && !e.content.isEmpty())
            ok = archive_write_data(out, e.content.constData(), e.content.size()) ==
                 e.content.size();
        archive_entry_free(entry);
    }
    ok = archive_write_close(out) == ARCHIVE_OK && ok;
    archive_write_free(out);
    return ok;
}

std::vector<TarEntry> entriesOf(const QString& root, const QString& prefix) {
    std::vector<TarEntry> entries{{prefix, TarEntry::Type::folder, 0755, {}, {}}};
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext()) paths << it.next();
    paths.sort();
    for (const QString& path : paths) {
        const QFileInfo info(path);
        TarEntry entry;
        entry.path = prefix + QLatin1Char('/') + QDir(root).relativeFilePath(path);
        struct stat st;
        lstat(QFile::encodeName(path).constData(), &st);
        entry.mode = st.st_mode & 07777;
        if (info.isSymLink()) {
            entry.type = TarEntry::Type::link;
            entry.target = info.symLinkTarget();
            entry.target = QString::fromUtf8(
                QFile::encodeName(QDir(info.absolutePath()).relativeFilePath(entry.target)));
        } else if (info.isDir()) {
            entry.type = TarEntry::Type::folder;
        } else {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            entry.content = file.readAll();
        }
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace tessal::test
