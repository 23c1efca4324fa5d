#include "CaptureShortcut.h"

#include <QJsonObject>
#include <cmath>

#include "base/DefaultsStore.h"
#include "platform/KeyCodes.h"

namespace tessal {
namespace {

const QString kKeyCodeKey = QStringLiteral("captureShortcutKeyCode");
const QString kModifiersKey = QStringLiteral("captureShortcutModifiers");
const QString kLabelKey = QStringLiteral("captureShortcutLabel");

QString keyName(int keyCode, const QString& characters) {
    switch (keyCode) {
        case KeyCode::space:
            return QStringLiteral("空格");  // untranslated: stored, never shown
        case KeyCode::returnKey:
            return QStringLiteral("Return");
        case KeyCode::tab:
            return QStringLiteral("Tab");
        case KeyCode::deleteKey:
            return QStringLiteral("⌫");
        case KeyCode::left:
            return QStringLiteral("←");
        case KeyCode::right:
            return QStringLiteral("→");
        case KeyCode::down:
            return QStringLiteral("↓");
        case KeyCode::up:
            return QStringLiteral("↑");
        default:
            return characters.toUpper();
    }
}

std::optional<std::uint32_t> storedUInt32(const DefaultsStore& defaults, const QString& key) {
    const auto value = defaults.numberValue(key);
    if (!value || *value < 0 || *value > 4294967295.0 || std::floor(*value) != *value)
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

}  // namespace

std::optional<CaptureShortcut> CaptureShortcut::from(const KeyPress& press) {
    std::uint32_t bits = 0;
    QString prefix;
    if (press.control) bits |= HotKeyModifier::control, prefix += QStringLiteral("⌃");
    if (press.option) bits |= HotKeyModifier::option, prefix += QStringLiteral("⌥");
    if (press.shift) bits |= HotKeyModifier::shift, prefix += QStringLiteral("⇧");
    if (press.command) bits |= HotKeyModifier::command, prefix += QStringLiteral("⌘");
    if (!press.control && !press.option && !press.command) return std::nullopt;
    if (press.keyCode < 0) return std::nullopt;
    const QString name = keyName(press.keyCode, press.characters);
    if (name.trimmed().isEmpty()) return std::nullopt;
    return CaptureShortcut{static_cast<std::uint32_t>(press.keyCode), bits, prefix + name};
}

QString CaptureShortcut::text() const {
    return nativeShortcut(int(keyCode), modifiers & HotKeyModifier::control,
                          modifiers & HotKeyModifier::option, modifiers & HotKeyModifier::shift,
                          modifiers & HotKeyModifier::command);
}

CaptureShortcut CaptureShortcut::load(const DefaultsStore& defaults) {
    const auto label = defaults.stringValue(kLabelKey);
    const auto keyCode = storedUInt32(defaults, kKeyCodeKey);
    const auto modifiers = storedUInt32(defaults, kModifiersKey);
    // Out-of-range or fractional integers were never written by us: fall back to the default.
    if (!label || !keyCode || !modifiers) return defaultShortcut();
    return {*keyCode, *modifiers, *label};
}

void CaptureShortcut::save(DefaultsStore& defaults) const {
    defaults.set(QJsonObject{
        {kKeyCodeKey, double(keyCode)}, {kModifiersKey, double(modifiers)}, {kLabelKey, label}});
}

}  // namespace tessal
