#include "HelperPrograms.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tessal {

QString helperProgram(const QString& name, const QString& built) {
    const QString directory = QCoreApplication::instance()
                                  ? QCoreApplication::applicationDirPath()
                                  : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    for (const QString& candidate : {directory + QStringLiteral("/../lib/tessal/") + name,
                                     directory + QLatin1Char('/') + name})
        if (QFileInfo(candidate).isExecutable()) return QFileInfo(candidate).canonicalFilePath();
    if (!built.isEmpty() && QFileInfo(built).isExecutable()) return built;
    return {};
}

}  // namespace tessal
