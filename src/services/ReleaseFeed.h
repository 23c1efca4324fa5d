#pragma once

#include <functional>

#include "AppRelease.h"
#include "UpdateConfiguration.h"

namespace tessal {

// Fetches the release feed: status 200, at most 256,000 bytes, served from the feed's own
// address (a redirect elsewhere is refused), decoded and validated.
class ReleaseFeed {
  public:
    static constexpr qint64 bodyLimit = 256'000;

    static void fetchLatest(const UpdateConfiguration& configuration,
                            std::function<void(Result<AppRelease>)> done);
};

}  // namespace tessal
