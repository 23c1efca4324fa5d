#include "DefaultsStore.h"

#include "AtomicFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>

namespace tessal {

DefaultsStore::DefaultsStore(QString path, Access access)
    : path_(std::move(path)), access_(access) {
    load();
}

QString DefaultsStore::standardPath() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config)) config = QDir::homePath() + "/.config";
    return config + "/local.ostrel/defaults.json";
}

void DefaultsStore::load() {
    QFile file(path_);
    if (!file.exists()) return;
    QJsonParseError parseError{};
    QJsonDocument document;
    const bool readable = file.open(QIODevice::ReadOnly);
    if (readable) document = QJsonDocument::fromJson(file.readAll(), &parseError);
    file.close();
    if (readable && parseError.error == QJsonParseError::NoError && document.isObject()) {
        values_ = document.object();
        return;
    }
    if (access_ == Access::readOnly) return;
    // Keep the damaged file for the user to inspect; pick a name that overwrites nothing.
    const QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    QString aside = path_ + ".corrupt-" + stamp;
    for (int n = 1; QFileInfo::exists(aside); ++n) {
        aside = path_ + ".corrupt-" + stamp + "-" + QString::number(n);
    }
    if (QFile::rename(path_, aside))
        setAsidePath_ = aside;
    else
        keepsDamagedFile_ = true;
}

std::optional<bool> DefaultsStore::boolValue(const QString& key) const {
    const QJsonValue v = values_.value(key);
    if (!v.isBool()) return std::nullopt;
    return v.toBool();
}

std::optional<double> DefaultsStore::numberValue(const QString& key) const {
    const QJsonValue v = values_.value(key);
    if (!v.isDouble()) return std::nullopt;
    return v.toDouble();
}

std::optional<QString> DefaultsStore::stringValue(const QString& key) const {
    const QJsonValue v = values_.value(key);
    if (!v.isString()) return std::nullopt;
    return v.toString();
}

void DefaultsStore::set(const QString& key, const QJsonValue& value) {
    values_.insert(key, value);
    save();
}

void DefaultsStore::set(const QJsonObject& values) {
    for (auto it = values.begin(); it != values.end(); ++it) values_.insert(it.key(), it.value());
    save();
}

void DefaultsStore::remove(const QString& key) {
    if (!values_.contains(key)) return;
    values_.remove(key);
    save();
}

void DefaultsStore::save() {
    if (access_ == Access::readOnly) return;
    QString error;
    if (keepsDamagedFile_) {
        error = QCoreApplication::translate("DefaultsStore",
                                            "原设置文件已损坏且无法移到一旁，已原样保留");
    } else {
        QDir().mkpath(QFileInfo(path_).absolutePath());
        const QByteArray json = QJsonDocument(values_).toJson(QJsonDocument::Indented);
        if (!writeFileAtomically(path_, json, &error) && error.isEmpty())
            error = QCoreApplication::translate("DefaultsStore", "写入失败");
    }
    lastWriteError_ = error;
    if (lastWriteFailed() && !failureReported_) {
        failureReported_ = true;
        if (onWriteFailure) onWriteFailure(error);
    }
}

}  // namespace tessal
