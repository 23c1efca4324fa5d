#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace tessal::test {

// Writes tar.gz archives entry by entry, hostile ones included (absolute paths, "..", links,
// devices), which no well-behaved archiver would make.
struct TarEntry {
    enum class Type { file, folder, link, hardLink, fifo, device };
    QString path;
    Type type = Type::file;
    int mode = 0644;
    QByteArray content;
    QString target;  // for links
};

bool writeTar(const QString& archive, const std::vector<TarEntry>& entries);
// Every file and folder under `root`, named `prefix` + its path relative to `root`.
std::vector<TarEntry> entriesOf(const QString& root, const QString& prefix);

}  // namespace tessal::test
