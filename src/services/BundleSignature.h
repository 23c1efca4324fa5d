#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tessal {

// A bundle's signature: `signature/files` lists every entry below the bundle folder (type, mode,
// SHA-256 of the content or link target, path; sorted by path), preceded by a line for the folder
// itself (path ".") unless its mode is 0755, which the list without that line stands for (copies
// from before that line verify such lists). `signature/files.sig` is the Ed25519 signature of the
// list. A bundle verifies when the list matches the folder exactly, the signature checks out with
// the key, and `signature/` holds nothing but those two files, none writable by others.
namespace BundleSignature {

// `release`: everything above, for a copy that is to be installed. `identity`: only that the
// copy is the one the key signed, whatever its folder and signature files' modes have become
// since (an installed copy, which an earlier installer or its user may have changed).
enum class Check { release, identity };

// The list for the bundle as it is on disk, or nothing when it holds an entry that cannot be
// listed (a device, a FIFO, an unreadable file, a name with a line break, anything else under
// `signature/` or a signature entry writable by others).
std::optional<QByteArray> fileList(const QString& bundle);
bool verify(const QString& bundle, const QByteArray& publicKey, Check check = Check::release);

// Signs the bundle with a PEM private key; the error text when it cannot.
std::optional<QString> sign(const QString& bundle, const QByteArray& privateKeyPem);
// A new PEM private key.
QByteArray generatePrivateKey();
// The raw 32-byte public key of a PEM private key, or empty.
QByteArray publicKey(const QByteArray& privateKeyPem);

}  // namespace BundleSignature
}  // namespace tessal
