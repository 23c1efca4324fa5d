#include "ReleaseVersion.h"

#include <QStringList>
#include <limits>

namespace tessal {

std::optional<ReleaseVersion> ReleaseVersion::parse(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    if (parts.size() != 3) return std::nullopt;
    ReleaseVersion version;
    for (int i = 0; i < 3; ++i) {
        const QString& part = parts[i];
        if (part.isEmpty()) return std::nullopt;
        std::int64_t value = 0;
        for (const QChar c : part) {
            // Only ASCII digits: QChar::isDigit would also take other scripts' digits.
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
            const int digit = c.unicode() - '0';
            if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10)
                return std::nullopt;
            value = value * 10 + digit;
        }
        version.parts_[i] = value;
    }
    return version;
}

}  // namespace tessal
