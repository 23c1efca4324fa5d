#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/UiLanguage.h"
#include "base/DefaultsStore.h"

using namespace tessal;

TEST(UiLanguage, FromTheDesktopsPreferredLanguages) {
    using L = UiLanguage;
    struct Case {
        QStringList languages;  // as QLocale::uiLanguages() lists them, best first
        L expected;
    };
    const Case cases[] = {
        {{"zh-CN", "zh-Hans-CN", "zh"}, L::simplifiedChinese},
        {{"zh-SG", "zh-Hans-SG"}, L::simplifiedChinese},
        {{"zh-Hans"}, L::simplifiedChinese},
        {{"zh"}, L::simplifiedChinese},  // no region, no script: the language's default
        {{"zh-TW", "zh-Hant-TW"}, L::traditionalChinese},
        {{"zh-HK", "zh-Hant-HK"}, L::traditionalChinese},
        {{"zh-MO"}, L::traditionalChinese},
        {{"zh-Hant"}, L::traditionalChinese},
        {{"zh_TW"}, L::traditionalChinese},  // the environment's spelling
        {{"ZH-hk"}, L::traditionalChinese},
        {{"zh-Hans-HK"}, L::simplifiedChinese},  // the script outranks the region
        {{"en-US", "en-Latn-US", "en"}, L::english},
        {{"en-GB"}, L::english},
        {{"de", "de-Latn-DE", "de-DE"}, L::english},  // a language we have no translation for
        {{"de", "de-DE", "zh-TW", "zh-Hant-TW"}, L::traditionalChinese},  // LANGUAGE=de:zh_TW
        {{"fr-FR", "en-US", "zh-CN"}, L::english},
        {{"C"}, L::english},           // LANG=C
        {{"xx-YY", "C"}, L::english},  // a locale that does not exist
        {{""}, L::english},
        {{}, L::english},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UiLanguages::fromLocales(c.languages), c.expected)
            << c.languages.join(",").toStdString();
}

TEST(UiLanguage, ThePreferenceOverridesTheDesktopAndFollowsItWhenUnset) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    const QStringList taiwan{"zh-TW", "zh-Hant-TW"};
    EXPECT_EQ(UiLanguages::preference(defaults), std::nullopt);
    EXPECT_EQ(UiLanguages::chosen(defaults, taiwan), UiLanguage::traditionalChinese);

    for (const UiLanguage language :
         {UiLanguage::english, UiLanguage::simplifiedChinese, UiLanguage::traditionalChinese}) {
        UiLanguages::setPreference(defaults, language);
        // Read back from the file, as the next start does.
        const DefaultsStore reread(dir.filePath("defaults.json"));
        EXPECT_EQ(UiLanguages::preference(reread), language);
        EXPECT_EQ(UiLanguages::chosen(reread, taiwan), language);
        EXPECT_EQ(UiLanguages::chosen(reread, {"C"}), language);
    }
    UiLanguages::setPreference(defaults, std::nullopt);
    EXPECT_EQ(UiLanguages::preference(defaults), std::nullopt);
    EXPECT_EQ(UiLanguages::chosen(defaults, taiwan), UiLanguage::traditionalChinese);

    // A value this version did not write follows the system.
    for (const QJsonValue& stored : {QJsonValue("klingon"), QJsonValue(2), QJsonValue(true),
                                     QJsonValue(""), QJsonValue("EN")}) {
        defaults.set(QStringLiteral("uiLanguage"), stored);
        EXPECT_EQ(UiLanguages::preference(defaults), std::nullopt);
        EXPECT_EQ(UiLanguages::chosen(defaults, {"en-US"}), UiLanguage::english);
    }
}
