#include "BundleSignature.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <memory>

namespace tessal::BundleSignature {

namespace {

const QString signatureFolder = QStringLiteral("signature");

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
struct BioDeleter {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyDeleter>;

Key privateKey(const QByteArray& pem) {
    std::unique_ptr<BIO, BioDeleter> bio(BIO_new_mem_buf(pem.constData(), int(pem.size())));
    if (!bio) return nullptr;
    Key key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    if (key && EVP_PKEY_get_id(key.get()) != EVP_PKEY_ED25519) return nullptr;
    return key;
}

std::optional<QByteArray> fileDigest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return {};
    return hash.result().toHex();
}

const QString listName = QStringLiteral("files");
const QString signatureName = QStringLiteral("files.sig");

struct Line {
    QByteArray path;
    QByteArray text;
};

std::optional<Line> entryLine(const QString& path, const QByteArray& name) {
    struct stat info;
    if (lstat(QFile::encodeName(path).constData(), &info) != 0) return {};
    QByteArray type;
    QByteArray digest = "-";
    if (S_ISDIR(info.st_mode)) {
        type = "dir";
    } else if (S_ISREG(info.st_mode)) {
        type = "file";
        auto hash = fileDigest(path);
        if (!hash) return {};
        digest = *hash;
    } else if (S_ISLNK(info.st_mode)) {
        type = "link";
        char target[4096];
        const ssize_t length = readlink(QFile::encodeName(path).constData(), target, sizeof target);
        if (length < 0 || length == sizeof target) return {};
        digest =
            QCryptographicHash::hash(QByteArray(target, int(length)), QCryptographicHash::Sha256)
                .toHex();
    } else {
        return {};
    }
    const QByteArray mode = QByteArray::number(info.st_mode & 07777, 8).rightJustified(4, '0');
    return Line{name, type + ' ' + mode + ' ' + digest + ' ' + name + '\n'};
}

// Only the folder and the two files the signer writes, none of them writable by others: what
// else lay there would be unsigned. `strictModes` off: the modes are not looked at.
bool signatureEntryAllowed(const QString& path, const QString& relative, bool strictModes) {
    struct stat info;
    if (lstat(QFile::encodeName(path).constData(), &info) != 0 ||
        (strictModes && (info.st_mode & 022)))
        return false;
    if (relative == signatureFolder) return S_ISDIR(info.st_mode);
    return S_ISREG(info.st_mode) &&
           (relative == signatureFolder + QLatin1Char('/') + listName ||
            relative == signatureFolder + QLatin1Char('/') + signatureName);
}

// `withRoot`: the list begins with the bundle folder's own line (path "."), then the entries
// sorted by path; lists signed before the folder's mode was covered lack that line.
std::optional<QByteArray> entries(const QString& bundle, bool withRoot, bool strictModes = true) {
    QByteArray list;
    if (withRoot) {
        auto root = entryLine(bundle, ".");
        if (!root) return {};
        list = root->text;
    }
    std::vector<Line> lines;
    QDirIterator it(bundle, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir rootDir(bundle);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = rootDir.relativeFilePath(path);
        if (relative == signatureFolder ||
            relative.startsWith(signatureFolder + QLatin1Char('/'))) {
            if (!signatureEntryAllowed(path, relative, strictModes)) return {};
            continue;
        }
        const QByteArray name = QFile::encodeName(relative);
        if (name.contains('\n')) return {};
        auto line = entryLine(path, name);
        if (!line) return {};
        lines.push_back(*line);
    }
    std::sort(lines.begin(), lines.end(),
              [](const Line& a, const Line& b) { return a.path < b.path; });
    for (const Line& line : lines) list += line.text;
    return list;
}

}  // namespace

std::optional<QByteArray> fileList(const QString& bundle) {
    return entries(bundle, true);
}

bool verify(const QString& bundle, const QByteArray& publicKey, Check check) {
    if (publicKey.size() != 32) return false;
    QFile listFile(bundle + QLatin1Char('/') + signatureFolder + QLatin1Char('/') + listName);
    QFile signatureFile(bundle + QLatin1Char('/') + signatureFolder + QLatin1Char('/') +
                        signatureName);
    if (!listFile.open(QIODevice::ReadOnly) || !signatureFile.open(QIODevice::ReadOnly))
        return false;
    const QByteArray signedList = listFile.read(64 << 20);
    const QByteArray signature = signatureFile.read(65);
    if (signature.size() != 64) return false;
    Key key(EVP_PKEY_new_raw_public_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(publicKey.constData()),
        publicKey.size()));
    std::unique_ptr<EVP_MD_CTX, ContextDeleter> context(EVP_MD_CTX_new());
    if (!key || !context ||
        EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1 ||
        EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()),
                         signature.size(),
                         reinterpret_cast<const unsigned char*>(signedList.constData()),
                         signedList.size()) != 1)
        return false;
    // The signed list must describe the folder as it is now, entry for entry.
    const bool strict = check == Check::release;
    const auto actual = entries(bundle, true, strict);
    if (!actual) return false;
    if (*actual == signedList) return true;
    if (!strict) return entries(bundle, false, false) == signedList;
    // A list from before the folder's own line: accepted only with the folder at the mode the
    // release script gives it, so that nothing unsigned decides who may write there.
    struct stat root;
    return lstat(QFile::encodeName(bundle).constData(), &root) == 0 && S_ISDIR(root.st_mode) &&
           (root.st_mode & 07777) == 0755 && entries(bundle, false) == signedList;
}

std::optional<QString> sign(const QString& bundle, const QByteArray& privateKeyPem) {
    Key key = privateKey(privateKeyPem);
    if (!key) return QStringLiteral("not an Ed25519 private key");
    QDir(bundle + QLatin1Char('/') + signatureFolder).removeRecursively();
    // At the release mode the list keeps the form copies from before the folder's own line
    // verify (for them and for us that form means 0755), so they can still update to it.
    struct stat root;
    if (lstat(QFile::encodeName(bundle).constData(), &root) != 0 || !S_ISDIR(root.st_mode))
        return QStringLiteral("not a folder");
    const auto list = entries(bundle, (root.st_mode & 07777) != 0755);
    if (!list) return QStringLiteral("the bundle holds an entry that cannot be signed");
    std::unique_ptr<EVP_MD_CTX, ContextDeleter> context(EVP_MD_CTX_new());
    unsigned char signature[64];
    size_t length = sizeof signature;
    if (!context || EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1 ||
        EVP_DigestSign(context.get(), signature, &length,
                       reinterpret_cast<const unsigned char*>(list->constData()),
                       list->size()) != 1)
        return QStringLiteral("signing failed");
    const QString folder = bundle + QLatin1Char('/') + signatureFolder;
    if (mkdir(QFile::encodeName(folder).constData(), 0755) != 0 ||
        chmod(QFile::encodeName(folder).constData(), 0755) != 0)
        return QStringLiteral("cannot create signature/");
    for (const auto& [name, bytes] :
         {std::pair{listName, *list},
          {signatureName, QByteArray(reinterpret_cast<char*>(signature), 64)}}) {
        QSaveFile file(folder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                 QFile::ReadOther) ||
            !file.commit())
            return QStringLiteral("cannot write signature/%1").arg(name);
    }
    return std::nullopt;
}

QByteArray generatePrivateKey() {
    Key key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"));
    std::unique_ptr<BIO, BioDeleter> bio(BIO_new(BIO_s_mem()));
    if (!key || !bio ||
        PEM_write_bio_PrivateKey(bio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
        return {};
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return QByteArray(data, int(size));
}

QByteArray publicKey(const QByteArray& privateKeyPem) {
    Key key = privateKey(privateKeyPem);
    if (!key) return {};
    QByteArray raw(32, 0);
    size_t length = raw.size();
    if (EVP_PKEY_get_raw_public_key(key.get(), reinterpret_cast<unsigned char*>(raw.data()),
                                    &length) != 1 ||
        length != 32)
        return {};
    return raw;
}

}  // namespace tessal::BundleSignature
