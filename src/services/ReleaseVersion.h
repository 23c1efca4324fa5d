#pragma once

#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

namespace tessal {

// A release number of exactly three decimal parts, "major.minor.patch". Built from text only.
class ReleaseVersion {
  public:
    static std::optional<ReleaseVersion> parse(const QString& text);

    std::int64_t major() const { return parts_[0]; }
    std::int64_t minor() const { return parts_[1]; }
    std::int64_t patch() const { return parts_[2]; }

    friend auto operator<=>(const ReleaseVersion&, const ReleaseVersion&) = default;

  private:
    ReleaseVersion() = default;
    std::int64_t parts_[3] = {0, 0, 0};
};

}  // namespace tessal
