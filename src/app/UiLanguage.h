#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QCoreApplication;

namespace tessal {

class DefaultsStore;

// The language of the interface. The source texts are simplified Chinese; the others come from
// translations embedded under ":/i18n".
enum class UiLanguage { simplifiedChinese, traditionalChinese, english };

namespace UiLanguages {

// The language for the desktop's list of preferred languages (QLocale::uiLanguages(), best
// first): the first entry we have a translation for decides; none of them, English.
UiLanguage fromLocales(const QStringList& uiLanguages);

// The user's choice in the preferences; nothing means "follow the system". An unknown stored
// value follows the system too.
std::optional<UiLanguage> preference(const DefaultsStore& defaults);
void setPreference(DefaultsStore& defaults, std::optional<UiLanguage> language);

// The preference where there is one, the desktop's languages otherwise.
UiLanguage chosen(const DefaultsStore& defaults, const QStringList& uiLanguages);

// The language code ("zh_CN", "zh_TW", "en") that names the translation files.
QString code(UiLanguage language);

// Installs Tessal's and Qt's own translations for `language` on the application (the
// translators live as long as it). Tessal's files come from `folder`, Qt's from `qtFolder`.
// A translation that cannot be loaded falls back to English, and where even that fails to the
// source texts; returns the language the interface will actually show.
UiLanguage install(QCoreApplication& app, UiLanguage language,
                   const QString& folder = QStringLiteral(":/i18n"),
                   const QString& qtFolder = QString());

// The user's language for what a run from the shell prints: the preference where the settings
// say one (read only: the resident program owns that file), the desktop's otherwise.
UiLanguage installForShell(QCoreApplication& app);

}  // namespace UiLanguages
}  // namespace tessal
