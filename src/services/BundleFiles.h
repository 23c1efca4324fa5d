#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

namespace tessal {

// An installed copy of the program is a folder "<Name>.bundle" holding `manifest.json`
// (identifier, version, executable, architecture, displayName, updateChannelEnabled), the
// executable under `bin/`, its resources under `share/tessal/`, and its signature under
// `signature/`.
namespace BundleFiles {

inline constexpr const char* extension = ".bundle";
inline constexpr const char* manifestName = "manifest.json";

// The manifest's object, or nothing when it is missing, too large or not a JSON object.
std::optional<QJsonObject> readManifest(const QString& bundle);
// The path with links resolved and cleaned; cleaned and absolute when it does not exist.
QString standardPath(const QString& path);

QString executablePath(const QString& bundle, const QString& executable);
QString installerScript(const QString& bundle);

// The bundle folder the running executable lies in (two levels up), or empty when the program
// does not run from a bundle (a build tree, a system package).
QString runningBundle(const QString& executablePath);

// The architecture named by an executable's ELF header ("x86_64"), or empty when it is none.
QString elfArchitecture(const QString& path);

// Copies a folder with its files' modes, less any write permission for others (folders stay the
// owner's to change), and its links as links; false on any failure.
bool copyTree(const QString& from, const QString& to);

}  // namespace BundleFiles
}  // namespace tessal
