#include "UpdateConfiguration.h"

#include <QCoreApplication>

#ifndef TESSAL_UPDATE_HOST
#define TESSAL_UPDATE_HOST "cdn.tessal.example"
#endif
#ifndef TESSAL_PRODUCT_SITE
#define TESSAL_PRODUCT_SITE "https://tessal.example"
#endif
#ifndef TESSAL_RELEASE_PUBLIC_KEY
#define TESSAL_RELEASE_PUBLIC_KEY ""
#endif
#ifndef TESSAL_ARCHITECTURE
#define TESSAL_ARCHITECTURE "x86_64"
#endif

namespace tessal {

UpdateConfiguration UpdateConfiguration::standard() {
    UpdateConfiguration configuration;
    configuration.cdnHost = QStringLiteral(TESSAL_UPDATE_HOST);
    configuration.productSite = QStringLiteral(TESSAL_PRODUCT_SITE);
    configuration.architecture = QStringLiteral(TESSAL_ARCHITECTURE);
    configuration.releasePublicKey = QByteArray::fromBase64(TESSAL_RELEASE_PUBLIC_KEY);
    configuration.earlierNames = {QStringLiteral("Ostrel"),
                                  QCoreApplication::translate("UpdateConfiguration", "Tessal截图"),
                                  QStringLiteral("TessalShot"), QStringLiteral("Tessal Capture")};
    return configuration;
}

QUrl UpdateConfiguration::feedUrl() const {
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(cdnHost);
    url.setPath(QStringLiteral("/app/tessal/update/latest.json"));
    return url;
}

QUrl UpdateConfiguration::downloadUrl(const QString& version) const {
    QUrl url = feedUrl();
    url.setPath(
        QStringLiteral("/app/tessal/update/tessal-%1-linux-%2.tar.gz").arg(version, architecture));
    return url;
}

QUrl UpdateConfiguration::changelog() const {
    QUrl url(productSite);
    url.setPath(QStringLiteral("/changelog.html"));
    return url;
}

QString elfMachineName(int machine) {
    switch (machine) {
        case 3:
            return QStringLiteral("i386");
        case 40:
            return QStringLiteral("arm");
        case 62:
            return QStringLiteral("x86_64");
        case 183:
            return QStringLiteral("aarch64");
        case 243:
            return QStringLiteral("riscv64");
        default:
            return {};
    }
}

}  // namespace tessal
