#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "services/AppRelease.h"
#include "services/ReleaseVersion.h"
#include "services/UpdateConfiguration.h"

using namespace tessal;

namespace {

UpdateConfiguration configuration() {
    UpdateConfiguration c;
    c.cdnHost = QStringLiteral("cdn.tessal.example");
    c.productSite = QStringLiteral("https://tessal.example");
    c.architecture = QStringLiteral("x86_64");
    return c;
}

AppRelease release(const QString& version = QStringLiteral("0.7.2")) {
    AppRelease r;
    r.version = version;
    r.downloadURL = QUrl(QStringLiteral("https://cdn.tessal.example/app/tessal/update/tessal-") +
                         version + QStringLiteral("-linux-x86_64.tar.gz"));
    r.notes = QStringLiteral("修复了若干问题。");
    r.minimumSystemVersion = QStringLiteral("2.36.0");
    r.architecture = QStringLiteral("x86_64");
    r.size = 1234;
    r.sha256 = QString(64, QLatin1Char('a'));
    return r;
}

}  // namespace

TEST(ReleaseVersion, AcceptsExactlyThreeDecimalParts) {
    struct Case {
        const char* text;
        bool valid;
    };
    for (const Case& c : {Case{"0.7.2", true},
                          {"1.0.0", true},
                          {"01.002.3", true},
                          {"9223372036854775807.0.0", true},
                          {"9223372036854775808.0.0", false},
                          {"99999999999999999999.1.1", false},
                          {"1.2", false},
                          {"1.2.3.4", false},
                          {"1..2", false},
                          {"1.2.", false},
                          {".1.2", false},
                          {"", false},
                          {"1.2.a", false},
                          {"1.2.-3", false},
                          {"1.2.+3", false},
                          {" 1.2.3", false},
                          {"1.2.３", false},
                          {"1.2.3\n", false}})
        EXPECT_EQ(ReleaseVersion::parse(QString::fromUtf8(c.text)).has_value(), c.valid) << c.text;
    const auto v = [](const char* t) { return *ReleaseVersion::parse(QString::fromUtf8(t)); };
    EXPECT_EQ(v("01.002.3"), v("1.2.3"));
    EXPECT_LT(v("0.7.9"), v("0.8.0"));
    EXPECT_LT(v("0.9.10"), v("0.10.0"));
    EXPECT_LT(v("1.2.3"), v("1.2.4"));
    EXPECT_GT(v("2.0.0"), v("1.99.99"));
}

TEST(AppRelease, ValidationRefusesEveryDeviationWithOneError) {
    const UpdateConfiguration c = configuration();
    EXPECT_FALSE(release().validate(c));
    struct Case {
        const char* name;
        std::function<void(AppRelease&)> change;
        bool valid;
    };
    const std::vector<Case> cases = {
        {"version with two parts", [](AppRelease& r) { r.version = QStringLiteral("0.7"); }, false},
        {"http", [](AppRelease& r) { r.downloadURL.setScheme(QStringLiteral("http")); }, false},
        {"HTTPS upper case",
         [](AppRelease& r) {
             r.downloadURL = QUrl(r.downloadURL.toString().replace(QStringLiteral("https:"),
                                                                   QStringLiteral("HTTPS:")));
         },
         true},
        {"other host", [](AppRelease& r) { r.downloadURL.setHost(QStringLiteral("evil.example")); },
         false},
        {"port 8443", [](AppRelease& r) { r.downloadURL.setPort(8443); }, false},
        {"port 443", [](AppRelease& r) { r.downloadURL.setPort(443); }, true},
        {"user", [](AppRelease& r) { r.downloadURL.setUserName(QStringLiteral("u")); }, false},
        {"password", [](AppRelease& r) { r.downloadURL.setPassword(QStringLiteral("p")); }, false},
        {"query", [](AppRelease& r) { r.downloadURL.setQuery(QStringLiteral("redirect=1")); },
         false},
        {"empty query", [](AppRelease& r) { r.downloadURL.setQuery(QString("")); }, false},
        {"fragment", [](AppRelease& r) { r.downloadURL.setFragment(QStringLiteral("x")); }, false},
        {"another version's file",
         [](AppRelease& r) {
             r.downloadURL.setPath(
                 QStringLiteral("/app/tessal/update/tessal-0.7.3-linux-x86_64.tar.gz"));
         },
         false},
        {"another product folder",
         [](AppRelease& r) {
             r.downloadURL.setPath(
                 QStringLiteral("/app/other/update/tessal-0.7.2-linux-x86_64.tar.gz"));
         },
         false},
        {"dot segments",
         [](AppRelease& r) {
             r.downloadURL =
                 QUrl(QStringLiteral("https://cdn.tessal.example/app/x/../tessal/update/"
                                     "tessal-0.7.2-linux-x86_64.tar.gz"));
         },
         false},
        {"other architecture", [](AppRelease& r) { r.architecture = QStringLiteral("aarch64"); },
         false},
        {"size 0", [](AppRelease& r) { r.size = 0; }, false},
        {"size 1", [](AppRelease& r) { r.size = 1; }, true},
        {"size 2^28", [](AppRelease& r) { r.size = 268'435'456; }, true},
        {"size 2^28 + 1", [](AppRelease& r) { r.size = 268'435'457; }, false},
        {"digest of 63", [](AppRelease& r) { r.sha256.chop(1); }, false},
        {"digest of 65", [](AppRelease& r) { r.sha256 += QLatin1Char('a'); }, false},
        {"digest upper case", [](AppRelease& r) { r.sha256[3] = QLatin1Char('A'); }, false},
        {"digest not hex", [](AppRelease& r) { r.sha256[3] = QLatin1Char('g'); }, false},
        {"notes 19,999", [](AppRelease& r) { r.notes = QString(19'999, QLatin1Char('x')); }, true},
        {"notes 20,000", [](AppRelease& r) { r.notes = QString(20'000, QLatin1Char('x')); }, false},
        {"notes empty", [](AppRelease& r) { r.notes.clear(); }, false},
        {"minimum of four parts",
         [](AppRelease& r) { r.minimumSystemVersion = QStringLiteral("2.36.0.1"); }, false},
    };
    for (const Case& test : cases) {
        AppRelease r = release();
        test.change(r);
        const auto error = r.validate(c);
        EXPECT_EQ(!error, test.valid) << test.name;
        if (error) {
            EXPECT_EQ(error->code, UpdateErrors::cannotParseResponse) << test.name;
        }
    }
}

TEST(AppRelease, AvailabilityComparesVersionsAndTheSystem) {
    const UpdateConfiguration c = configuration();
    using A = AppRelease::Availability;
    const auto at = [&](const AppRelease& r, const char* current, const char* system) {
        return r.availability(c, QString::fromLatin1(current), QString::fromLatin1(system));
    };
    EXPECT_EQ(at(release(), "0.7.1", "2.36.0").value(), A::available);
    EXPECT_EQ(at(release(), "0.7.2", "2.36.0").value(), A::current);
    EXPECT_EQ(at(release(), "0.7.3", "2.36.0").value(), A::current);
    EXPECT_EQ(at(release(), "0.7.1", "2.41.5").value(), A::available);
    AppRelease newer = release(QStringLiteral("0.7.3"));
    newer.minimumSystemVersion = QStringLiteral("14.0.0");
    EXPECT_EQ(at(newer, "0.7.2", "13.6.1").value(), A::requiresSystem);
    // Not newer: the system does not matter.
    EXPECT_EQ(at(newer, "0.7.3", "13.6.1").value(), A::current);
    for (const auto& [current, system] : {std::pair{"0.7", "2.36.0"}, {"0.7.1", "2.36"}}) {
        const auto result = at(release(), current, system);
        ASSERT_FALSE(result) << current << " " << system;
        EXPECT_EQ(result.error().code, UpdateErrors::cannotParseResponse);
    }
    AppRelease invalid = release();
    invalid.size = 0;
    EXPECT_FALSE(at(invalid, "0.7.1", "2.36.0"));
}

TEST(AppRelease, DecodesTheFeedsSevenFieldsWithTheirTypes) {
    QJsonObject object{{"version", "0.7.2"},
                       {"downloadURL", release().downloadURL.toString()},
                       {"notes", "修复了若干问题。"},
                       {"minimumSystemVersion", "2.36.0"},
                       {"architecture", "x86_64"},
                       {"size", 1234},
                       {"sha256", QString(64, QLatin1Char('a'))}};
    const auto decoded = AppRelease::decode(QJsonDocument(object).toJson());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded.value().size, 1234);
    EXPECT_EQ(decoded.value().downloadURL, release().downloadURL);
    EXPECT_FALSE(decoded.value().validate(configuration()));

    for (const char* key : {"version", "downloadURL", "notes", "minimumSystemVersion",
                            "architecture", "size", "sha256"}) {
        QJsonObject missing = object;
        missing.remove(QLatin1String(key));
        EXPECT_FALSE(AppRelease::decode(QJsonDocument(missing).toJson())) << key;
    }
    for (const QJsonValue& size : {QJsonValue(12.5), QJsonValue("1234"), QJsonValue(1e300)}) {
        QJsonObject wrong = object;
        wrong[QStringLiteral("size")] = size;
        EXPECT_FALSE(AppRelease::decode(QJsonDocument(wrong).toJson()));
    }
    QJsonObject numeric = object;
    numeric[QStringLiteral("version")] = 7;
    EXPECT_FALSE(AppRelease::decode(QJsonDocument(numeric).toJson()));
    EXPECT_FALSE(AppRelease::decode("[1,2,3]"));
    EXPECT_FALSE(AppRelease::decode("{\"version\": "));
}

TEST(UpdateConfiguration, AddressesComeFromOnePlace) {
    const UpdateConfiguration c = configuration();
    EXPECT_EQ(c.feedUrl().toString(),
              QStringLiteral("https://cdn.tessal.example/app/tessal/update/latest.json"));
    EXPECT_EQ(c.downloadUrl(QStringLiteral("1.2.3")).toString(),
              QStringLiteral(
                  "https://cdn.tessal.example/app/tessal/update/tessal-1.2.3-linux-x86_64.tar.gz"));
    EXPECT_EQ(c.changelog().toString(), QStringLiteral("https://tessal.example/changelog.html"));
    EXPECT_EQ(elfMachineName(62), QStringLiteral("x86_64"));
    EXPECT_EQ(elfMachineName(183), QStringLiteral("aarch64"));
    EXPECT_TRUE(elfMachineName(9999).isEmpty());
}
