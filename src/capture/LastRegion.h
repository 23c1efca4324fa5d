#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "base/geometry.h"

namespace tessal {

class DefaultsStore;
struct DisplayInfo;

// The last selection that was copied, saved or pinned, in global coordinates, remembered in the
// preferences per arrangement of displays (a laptop alone and docked keep one each).
namespace LastRegion {

inline constexpr const char* key = "lastRegions";
// Arrangements remembered at most; the oldest goes first.
inline constexpr int arrangementsKept = 8;

// The arrangement's name: each display's id and frame.
QString arrangement(const std::vector<DisplayInfo>& displays);

void remember(DefaultsStore& defaults, const std::vector<DisplayInfo>& displays,
              const Rect& region);

// Where the last region lies now: the index of the display that holds it whole and the region
// relative to that display. Nothing, with the reason in Chinese, when there is none for this
// arrangement or it lies on no single display.
struct Placement {
    std::size_t display = 0;
    Rect local;
};
std::optional<Placement> place(const DefaultsStore& defaults,
                               const std::vector<DisplayInfo>& displays, QString* why);

// A region given in display `display`'s local points, cut to that display; nothing, with the
// reason in Chinese, when there is no such display or the region lies off it.
std::optional<Placement> placeOnDisplay(const std::vector<DisplayInfo>& displays, int display,
                                        const Rect& local, QString* why);

}  // namespace LastRegion
}  // namespace tessal
