#include "UiLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "base/DefaultsStore.h"

namespace tessal::UiLanguages {
namespace {

const QString kPreferenceKey = QStringLiteral("uiLanguage");

// One entry of the list: "zh-TW", "zh_Hant_HK", "en-US", "de"; nothing for languages we have no
// translation for.
std::optional<UiLanguage> languageOf(const QString& entry) {
    const QStringList parts =
        entry.toLower().replace(QLatin1Char('_'), QLatin1Char('-')).split(QLatin1Char('-'));
    if (parts.first() == QLatin1String("en")) return UiLanguage::english;
    if (parts.first() != QLatin1String("zh")) return std::nullopt;
    // A script says it outright; a region implies it; "zh" alone is simplified.
    if (parts.contains(QLatin1String("hant"))) return UiLanguage::traditionalChinese;
    if (parts.contains(QLatin1String("hans"))) return UiLanguage::simplifiedChinese;
    for (const char* region : {"tw", "hk", "mo"})
        if (parts.contains(QLatin1String(region))) return UiLanguage::traditionalChinese;
    return UiLanguage::simplifiedChinese;
}

std::optional<UiLanguage> fromStored(const QString& value) {
    if (value == QLatin1String("zh_CN")) return UiLanguage::simplifiedChinese;
    if (value == QLatin1String("zh_TW")) return UiLanguage::traditionalChinese;
    if (value == QLatin1String("en")) return UiLanguage::english;
    return std::nullopt;
}

bool load(QCoreApplication& app, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&app);
    // An empty file loads but translates nothing: only a file with texts counts.
    if (!translator->load(name, folder) || translator->isEmpty() ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace

UiLanguage fromLocales(const QStringList& uiLanguages) {
    for (const QString& entry : uiLanguages)
        if (const auto language = languageOf(entry)) return *language;
    return UiLanguage::english;
}

std::optional<UiLanguage> preference(const DefaultsStore& defaults) {
    const auto value = defaults.stringValue(kPreferenceKey);
    return value ? fromStored(*value) : std::nullopt;
}

void setPreference(DefaultsStore& defaults, std::optional<UiLanguage> language) {
    defaults.set(kPreferenceKey, language ? code(*language) : QStringLiteral("system"));
}

UiLanguage chosen(const DefaultsStore& defaults, const QStringList& uiLanguages) {
    if (const auto language = preference(defaults)) return *language;
    return fromLocales(uiLanguages);
}

QString code(UiLanguage language) {
    switch (language) {
        case UiLanguage::simplifiedChinese:
            return QStringLiteral("zh_CN");
        case UiLanguage::traditionalChinese:
            return QStringLiteral("zh_TW");
        case UiLanguage::english:
            break;
    }
    return QStringLiteral("en");
}

UiLanguage install(QCoreApplication& app, UiLanguage language, const QString& folder,
                   const QString& qtFolder) {
    UiLanguage shown = language;
    // The source texts are simplified Chinese: that language needs only Qt's own texts.
    if (language != UiLanguage::simplifiedChinese &&
        !load(app, QStringLiteral("tessal_") + code(language), folder)) {
        shown = language != UiLanguage::english && load(app, QStringLiteral("tessal_en"), folder)
                    ? UiLanguage::english
                    : UiLanguage::simplifiedChinese;
    }
    // Qt's dialogs and key names in the same language; Qt's own source texts are English.
    if (shown != UiLanguage::english)
        load(app, QStringLiteral("qtbase_") + code(shown),
             qtFolder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : qtFolder);
    return shown;
}

UiLanguage installForShell(QCoreApplication& app) {
    const DefaultsStore defaults(DefaultsStore::standardPath(), DefaultsStore::Access::readOnly);
    return install(app, chosen(defaults, QLocale::system().uiLanguages()));
}

}  // namespace tessal::UiLanguages
