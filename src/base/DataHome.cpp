#include "DataHome.h"

#include <QDir>

namespace tessal {

QString dataHome() {
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    // The base directory rules ignore relative paths.
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        return QDir::homePath() + QStringLiteral("/.local/share");
    return data;
}

}  // namespace tessal
