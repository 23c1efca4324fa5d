// tessal-bundle-sign: the release tool that makes and checks bundle signatures.
//   tessal-bundle-sign keygen KEY.pem        new private key; prints the public key (base64)
//   tessal-bundle-sign public KEY.pem        prints the public key of a private key
//   tessal-bundle-sign sign BUNDLE KEY.pem   signs a bundle folder
//   tessal-bundle-sign verify BUNDLE PUBLIC  exit 0 when the bundle verifies with the key
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <cstdio>

#include "services/BundleSignature.h"

using namespace tessal;

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "tessal-bundle-sign: %s\n", qPrintable(message));
    return 1;
}

QByteArray readKey(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString verb = args.value(0);
    if (verb == QLatin1String("keygen") && args.size() == 2) {
        const QByteArray key = BundleSignature::generatePrivateKey();
        QSaveFile file(args[1]);
        if (key.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(key) != key.size() ||
            !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) || !file.commit())
            return fail(QStringLiteral("cannot write %1").arg(args[1]));
        std::printf("%s\n", BundleSignature::publicKey(key).toBase64().constData());
        return 0;
    }
    if (verb == QLatin1String("public") && args.size() == 2) {
        const QByteArray key = BundleSignature::publicKey(readKey(args[1]));
        if (key.isEmpty()) return fail(QStringLiteral("%1 is no Ed25519 private key").arg(args[1]));
        std::printf("%s\n", key.toBase64().constData());
        return 0;
    }
    if (verb == QLatin1String("sign") && args.size() == 3) {
        if (auto error = BundleSignature::sign(args[1], readKey(args[2]))) return fail(*error);
        return 0;
    }
    if (verb == QLatin1String("verify") && args.size() == 3)
        return BundleSignature::verify(args[1], QByteArray::fromBase64(args[2].toLatin1())) ? 0 : 1;
    return fail(
        QStringLiteral("usage: keygen KEY.pem | public KEY.pem | sign BUNDLE KEY.pem | "
                       "verify BUNDLE PUBLIC"));
}
