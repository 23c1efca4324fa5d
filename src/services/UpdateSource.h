#pragma once

#include <functional>
#include <optional>

#include "AppRelease.h"
#include "UpdateConfiguration.h"
#include "UpdateInstaller.h"

namespace tessal {

// What the running copy knows about itself from its bundle manifest.
struct BundleInfo {
    QString bundle;  // empty when not running from a bundle
    QString version = QStringLiteral("0.0.0");
    QString appName = QStringLiteral("Tessal");
    bool channelEnabled = false;

    static BundleInfo running();
    static BundleInfo read(const QString& bundle);
};

// The running system's version for release requirements: the C library's, as three parts.
QString systemVersion();

// Where releases are fetched, prepared and installed from; replaced in tests.
class UpdateSource {
  public:
    virtual ~UpdateSource() = default;
    virtual const UpdateConfiguration& configuration() const = 0;
    // Both report on the main thread.
    virtual void fetchLatest(std::function<void(Result<AppRelease>)> done) = 0;
    virtual void prepare(const AppRelease& release,
                         std::function<void(Result<PreparedUpdate>)> done) = 0;
    virtual std::optional<UserError> install(const PreparedUpdate& update) = 0;
};

// The release feed, and the updater in its helper process.
class ReleaseUpdateSource final : public UpdateSource {
  public:
    ReleaseUpdateSource(UpdateConfiguration configuration, QString installedBundle,
                        QString runningExecutable);

    const UpdateConfiguration& configuration() const override { return configuration_; }
    void fetchLatest(std::function<void(Result<AppRelease>)> done) override;
    void prepare(const AppRelease& release,
                 std::function<void(Result<PreparedUpdate>)> done) override;
    std::optional<UserError> install(const PreparedUpdate& update) override;

  private:
    UpdateConfiguration configuration_;
    QString installedBundle_;
    QString runningExecutable_;
};

}  // namespace tessal
