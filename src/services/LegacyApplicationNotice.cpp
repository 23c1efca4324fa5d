#include "LegacyApplicationNotice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "BundleFiles.h"
#include "UpdateConfiguration.h"
#include "base/DefaultsStore.h"

namespace tessal {

using BundleFiles::standardPath;

QStringList LegacyApplicationNotice::searchedDirectories() {
    return {QStringLiteral("/opt"), QDir::homePath() + QStringLiteral("/.local/opt")};
}

QStringList LegacyApplicationNotice::applications(const QString& current,
                                                  const QStringList& directories,
                                                  const QStringList& earlierNames) {
    const QString self = standardPath(current);
    QStringList found;
    for (const QString& directory : directories) {
        for (const QString& name : earlierNames) {
            const QString candidate = standardPath(directory + QLatin1Char('/') + name +
                                                   QLatin1String(BundleFiles::extension));
            if (candidate == self) continue;
            const auto manifest = BundleFiles::readManifest(candidate);
            if (!manifest) continue;
            const QJsonValue identifier = manifest->value(QLatin1String("identifier"));
            if (identifier.isString() && identifier.toString() == QLatin1String(bundleIdentifier))
                found << candidate;
        }
    }
    return found;
}

void LegacyApplicationNotice::presentIfNeeded(
    DefaultsStore& defaults, const QString& currentBundle, const QStringList& directories,
    const QStringList& earlierNames, const std::function<int(const AlertSpec&)>& run,
    const std::function<void(const QStringList&)>& reveal) {
    if (defaults.boolValue(shownKey, false) || currentBundle.isEmpty()) return;
    const QString self = standardPath(currentBundle);
    const QString parent = QFileInfo(self).absolutePath();
    bool installed = false;
    for (const QString& directory : directories) installed |= standardPath(directory) == parent;
    if (!installed) return;
    const QStringList found = applications(self, directories, earlierNames);
    if (found.isEmpty()) return;
    QStringList names;
    for (const QString& path : found) names << QFileInfo(path).fileName();
    const int answer = run(
        {QCoreApplication::translate("LegacyApplicationNotice", "建议移除旧版应用"),
         QCoreApplication::translate("LegacyApplicationNotice",
                                     "检测到：%1。\n\n请先退出旧版，再将旧应用移到回收站，之后只使"
                                     "用Tessal。只移除应用，不要清理其设置或应用支持文件；已有设"
                                     "置和截图历史会保留。")
             .arg(names.join(QCoreApplication::translate("LegacyApplicationNotice", "、"))),
         {QCoreApplication::translate("LegacyApplicationNotice", "在文件管理器中查看"),
          QCoreApplication::translate("LegacyApplicationNotice", "稍后处理")}});
    defaults.set(shownKey, true);
    if (answer == 0) reveal(found);
}

}  // namespace tessal
