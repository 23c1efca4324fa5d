#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tessal {

// A bundle's signature: `signature/files` lists the bundle folder itself (path ".") and then
// every entry below it (type, mode, SHA-256 of the content or link target, path; sorted by path),
// and `signature/files.sig` is the Ed25519 signature of that list. A bundle verifies when the
// list matches the folder exactly, the signature checks out with the key, and `signature/` holds
// nothing but those two files. A list signed without the folder's own line still verifies while
// the folder's mode is 0755.
namespace BundleSignature {

// The list for the bundle as it is on disk, or nothing when it holds an entry that cannot be
// listed (a device, a FIFO, an unreadable file, a name with a line break, anything else under
// `signature/` or a signature entry writable by others).
std::optional<QByteArray> fileList(const QString& bundle);
bool verify(const QString& bundle, const QByteArray& publicKey);

// Signs the bundle with a PEM private key; the error text when it cannot.
std::optional<QString> sign(const QString& bundle, const QByteArray& privateKeyPem);
// A new PEM private key.
QByteArray generatePrivateKey();
// The raw 32-byte public key of a PEM private key, or empty.
QByteArray publicKey(const QByteArray& privateKeyPem);

}  // namespace BundleSignature
}  // namespace tessal
