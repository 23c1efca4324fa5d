#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace tessal {

// Where releases come from and how they are recognised. The build sets the standard values
// (CMake: TESSAL_UPDATE_HOST, TESSAL_PRODUCT_SITE, TESSAL_RELEASE_PUBLIC_KEY); tests build their
// own.
struct UpdateConfiguration {
    // Serves the feed and the downloads.
    QString cdnHost;
    // The product's web site, "https://host".
    QString productSite;
    // This build's processor architecture as the ELF machine names it ("x86_64", "aarch64").
    QString architecture;
    // Raw 32-byte Ed25519 key that release bundles are signed with; empty in development builds,
    // which therefore never update themselves.
    QByteArray releasePublicKey;
    // Names that earlier releases were installed under (folder names without ".bundle").
    QStringList earlierNames;

    static UpdateConfiguration standard();

    QUrl feedUrl() const;
    // The one download address a release of `version` may have.
    QUrl downloadUrl(const QString& version) const;
    QUrl changelog() const;
};

// The bundle identifier every copy of the program carries.
inline constexpr const char* bundleIdentifier = "local.ostrel";

// Architecture name of an ELF machine number, or empty for machines we do not know.
QString elfMachineName(int machine);

}  // namespace tessal
