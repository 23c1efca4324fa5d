#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <optional>

#include "base/UserError.h"

namespace tessal {

struct UpdateConfiguration;

// Failures of the feed's transport and content, as the alerts describe them.
namespace UpdateErrors {
inline const QString networkDomain = QStringLiteral("tessal.network");
inline constexpr int cannotParseResponse = -1017;
inline constexpr int badServerResponse = -1011;
UserError cannotParse();
UserError badResponse();
UserError decoding(const QString& detail);
}  // namespace UpdateErrors

// One release as the feed describes it.
struct AppRelease {
    QString version;
    QUrl downloadURL;
    QString notes;
    QString minimumSystemVersion;
    QString architecture;
    std::int64_t size = 0;
    QString sha256;

    enum class Availability { available, current, requiresSystem };

    static constexpr std::int64_t maximumSize = 268'435'456;
    static constexpr int notesLimit = 20'000;

    // Reads the feed's JSON object: all seven fields present with their types.
    static Result<AppRelease> decode(const QByteArray& json);

    // Nothing when the record may be used, else cannotParseResponse.
    std::optional<UserError> validate(const UpdateConfiguration& configuration) const;
    // `currentVersion` is this program's, `systemVersion` the running system's (here: glibc).
    Result<Availability> availability(const UpdateConfiguration& configuration,
                                      const QString& currentVersion,
                                      const QString& systemVersion) const;
};

}  // namespace tessal
