#include "HelperPrograms.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tessal {

QString helperProgram(const QString& name, const QString& built) {
    const QString directory = QCoreApplication::instance()
                                  ? QCoreApplication::applicationDirPath()
                                  : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    const QFileInfo installed(directory + QStringLiteral("/../lib/tessal/") + name);
    if (installed.isExecutable()) return installed.canonicalFilePath();
    if (!built.isEmpty() && QFileInfo(built).isExecutable()) return built;
    return {};
}

}  // namespace tessal
