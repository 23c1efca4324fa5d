#include "AutostartLoginItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace tessal {

AutostartLoginItem::AutostartLoginItem(QString configHome, QString executable)
    : configHome_(std::move(configHome)), executable_(std::move(executable)) {}

AutostartLoginItem AutostartLoginItem::standard() {
    return AutostartLoginItem(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
        QCoreApplication::applicationFilePath());
}

QString AutostartLoginItem::execValue(const QString& program) {
    // First the argument quoting: double quotes, with ", `, $ and \ escaped inside them and % as
    // %% (field codes); then the value's own escapes for \ and control characters.
    QString quoted;
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        if (c == QLatin1Char('%')) quoted += QLatin1Char('%');
        quoted += c;
    }
    QString value = QStringLiteral("\"");
    for (const QChar c : quoted) {
        if (c == QLatin1Char('\\'))
            value += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            value += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            value += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            value += QLatin1String("\\r");
        else
            value += c;
    }
    return value + QLatin1Char('"');
}

QString AutostartLoginItem::path() const {
    return configHome_ + QStringLiteral("/autostart/local.ostrel.desktop");
}

bool AutostartLoginItem::isEnabled() const {
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly)) return false;
    // An entry the user switched off in the desktop's settings says Hidden=true.
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.trimmed() == "Hidden=true") return false;
    return true;
}

bool AutostartLoginItem::setEnabled(bool enabled) {
    if (!enabled) return !QFileInfo::exists(path()) || QFile::remove(path());
    if (!QDir().mkpath(QFileInfo(path()).absolutePath())) return false;
    // The desktop picks the comment for its own language from the entry itself.
    const QString entry =
        QStringLiteral(
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Tessal\n"
            "Comment=Screenshots and annotation\n"
            "Comment[zh_CN]=截图与标注\n"      // untranslated: the entry carries each language
            "Comment[zh_TW]=螢幕截圖與標註\n"  // untranslated: the entry carries each language
            "Exec=%1\n"
            "Icon=local.ostrel\n"
            "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n")
            .arg(execValue(executable_));
    QSaveFile file(path());
    const QByteArray bytes = entry.toUtf8();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

}  // namespace tessal
