#include "AppRelease.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "ReleaseVersion.h"
#include "UpdateConfiguration.h"

namespace tessal {

namespace UpdateErrors {
UserError cannotParse() {
    return {networkDomain, cannotParseResponse,
            QCoreApplication::translate("AppRelease", "无法解析服务器返回的更新信息。")};
}
UserError badResponse() {
    return {networkDomain, badServerResponse,
            QCoreApplication::translate("AppRelease", "服务器返回了无效的响应。")};
}
UserError decoding(const QString& detail) {
    return {QStringLiteral("tessal.decoding"), 4864,
            QCoreApplication::translate("AppRelease", "更新信息的格式不正确（%1）。").arg(detail)};
}
}  // namespace UpdateErrors

Result<AppRelease> AppRelease::decode(const QByteArray& json) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return UpdateErrors::decoding(parseError.errorString());
    if (!document.isObject()) return UpdateErrors::decoding(QStringLiteral("not an object"));
    const QJsonObject object = document.object();
    AppRelease release;
    const auto text = [&](const char* key, QString& into) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isString()) return false;
        into = value.toString();
        return true;
    };
    QString url;
    for (const auto& [key, field] : {std::pair{"version", &release.version},
                                     {"downloadURL", &url},
                                     {"notes", &release.notes},
                                     {"minimumSystemVersion", &release.minimumSystemVersion},
                                     {"architecture", &release.architecture},
                                     {"sha256", &release.sha256}}) {
        if (!text(key, *field)) return UpdateErrors::decoding(QString::fromLatin1(key));
    }
    release.downloadURL = QUrl(url, QUrl::StrictMode);
    if (!release.downloadURL.isValid())
        return UpdateErrors::decoding(QStringLiteral("downloadURL"));
    // A 64-bit integer: JSON numbers arrive as doubles, so anything with a fraction or beyond
    // the exactly representable range is not one.
    const QJsonValue size = object.value(QLatin1String("size"));
    const double number = size.toDouble(std::nan(""));
    if (!size.isDouble() || std::trunc(number) != number ||
        std::fabs(number) > 9.007199254740992e15)
        return UpdateErrors::decoding(QStringLiteral("size"));
    release.size = static_cast<std::int64_t>(number);
    return release;
}

std::optional<UserError> AppRelease::validate(const UpdateConfiguration& configuration) const {
    const auto hex = [](const QString& digest) {
        if (digest.size() != 64) return false;
        for (const QChar c : digest)
            if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                  (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
                return false;
        return true;
    };
    const bool valid = ReleaseVersion::parse(version) &&
                       downloadURL.scheme() == QLatin1String("https") &&
                       downloadURL.host() == configuration.cdnHost &&
                       (downloadURL.port() == -1 || downloadURL.port() == 443) &&
                       downloadURL.userName().isEmpty() && downloadURL.password().isEmpty() &&
                       !downloadURL.hasQuery() && !downloadURL.hasFragment() &&
                       downloadURL.path(QUrl::FullyEncoded) ==
                           configuration.downloadUrl(version).path(QUrl::FullyEncoded) &&
                       architecture == configuration.architecture && size >= 1 &&
                       size <= maximumSize && hex(sha256) && !notes.isEmpty() &&
                       notes.size() < notesLimit && ReleaseVersion::parse(minimumSystemVersion);
    if (valid) return std::nullopt;
    return UpdateErrors::cannotParse();
}

Result<AppRelease::Availability> AppRelease::availability(const UpdateConfiguration& configuration,
                                                          const QString& currentVersion,
                                                          const QString& systemVersion) const {
    if (auto error = validate(configuration)) return *error;
    const auto release = ReleaseVersion::parse(version);
    const auto current = ReleaseVersion::parse(currentVersion);
    const auto system = ReleaseVersion::parse(systemVersion);
    const auto minimum = ReleaseVersion::parse(minimumSystemVersion);
    if (!release || !current || !system || !minimum) return UpdateErrors::cannotParse();
    if (*current < *release)
        return *system < *minimum ? Availability::requiresSystem : Availability::available;
    return Availability::current;
}

}  // namespace tessal
