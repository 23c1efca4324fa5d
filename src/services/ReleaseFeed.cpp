#include "ReleaseFeed.h"

#include "HttpTransfer.h"

namespace tessal {

void ReleaseFeed::fetchLatest(const UpdateConfiguration& configuration,
                              std::function<void(Result<AppRelease>)> done) {
    HttpTransfer transfer;
    transfer.url = configuration.feedUrl();
    transfer.accept = "application/json";
    transfer.idleTimeoutMs = 15'000;
    transfer.totalTimeoutMs = 25'000;
    transfer.bodyLimit = bodyLimit;
    transfer.start([configuration, done = std::move(done)](HttpTransfer::Outcome outcome) {
        if (outcome.error) return done(*outcome.error);
        if (outcome.status != 200 || outcome.bodyTooLarge ||
            outcome.finalUrl != configuration.feedUrl())
            return done(UpdateErrors::badResponse());
        Result<AppRelease> release = AppRelease::decode(outcome.body);
        if (!release) return done(release.error());
        if (auto invalid = release.value().validate(configuration)) return done(*invalid);
        done(std::move(release));
    });
}

}  // namespace tessal
