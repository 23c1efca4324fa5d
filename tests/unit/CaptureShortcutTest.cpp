#include <gtest/gtest.h>

#include <QDir>
#include <QJsonObject>
#include <QTemporaryDir>

#include "app/CaptureShortcut.h"
#include "base/DefaultsStore.h"
#include "platform/KeyCodes.h"

using namespace tessal;

namespace {

KeyPress press(int code, bool control, bool option, bool shift, bool command) {
    return {code, control, option, shift, command, keyCharacters(code)};
}

}  // namespace

TEST(CaptureShortcut, FromKeyPress) {
    // The label is what the settings file keeps (the notation earlier versions wrote); the text
    // is what menus and dialogs show, in the desktop's notation.
    struct Case {
        KeyPress press;
        std::optional<CaptureShortcut> expected;
        const char* text;
    };
    const Case cases[] = {
        {press(0, true, false, true, false), CaptureShortcut{0, 4608, "⌃⇧A"}, "Ctrl+Shift+A"},
        {press(49, false, true, false, true), CaptureShortcut{49, 2304, "⌥⌘空格"},
         "Super+Alt+Space"},
        {press(18, true, false, false, false), CaptureShortcut{18, 4096, "⌃1"}, "Ctrl+1"},
        {press(36, true, true, true, true), CaptureShortcut{36, 6912, "⌃⌥⇧⌘Return"},
         "Super+Ctrl+Alt+Shift+Return"},
        {press(123, true, false, false, false), CaptureShortcut{123, 4096, "⌃←"}, "Ctrl+Left"},
        {press(51, false, true, false, false), CaptureShortcut{51, 2048, "⌥⌫"}, "Alt+Backspace"},
        {press(48, true, false, false, false), CaptureShortcut{48, 4096, "⌃Tab"}, "Ctrl+Tab"},
        {press(24, true, false, false, false), CaptureShortcut{24, 4096, "⌃="}, "Ctrl+="},
        {press(43, true, false, false, false), CaptureShortcut{43, 4096, "⌃,"}, "Ctrl+,"},
        {press(96, true, false, false, false), CaptureShortcut{96, 4096, "⌃F5"}, "Ctrl+F5"},
        // Shift alone, or nothing: refused.
        {press(0, false, false, true, false), std::nullopt, ""},
        {press(0, false, false, false, false), std::nullopt, ""},
        // A key that types nothing we can name.
        {KeyPress{200, true, false, false, false, ""}, std::nullopt, ""},
        {KeyPress{-1, true, false, false, false, "a"}, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        const auto shortcut = CaptureShortcut::from(c.press);
        EXPECT_EQ(shortcut, c.expected) << c.press.keyCode;
        if (shortcut) {
            EXPECT_EQ(shortcut->text(), QString::fromUtf8(c.text)) << c.press.keyCode;
        }
    }
    // A shortcut stored by an earlier version reads in the new notation.
    EXPECT_EQ(CaptureShortcut::defaultShortcut().text(), "Ctrl+1");
}

TEST(CaptureShortcut, KeyCodesRoundTripThroughKeysyms) {
    for (int code : {0, 8, 18, 29, 36, 49, 53, 76, 96, 122, 123, 126, 256}) {
        EXPECT_EQ(keyCodeFromKeysym(keysymFromKeyCode(code)), code) << code;
    }
    EXPECT_EQ(keyCodeFromKeysym(0x41), 0);  // 'A' with Shift or Lock is still the A key
    EXPECT_EQ(keyCodeFromKeysym(0x12345), KeyCode::unknown);
    EXPECT_EQ(keysymFromKeyCode(10), 0u);
    EXPECT_EQ(keyCodeFromQtKey(0x01000000), KeyCode::escape);
}

TEST(CaptureShortcut, PersistenceUsesAllThreeKeysOrNone) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    EXPECT_EQ(CaptureShortcut::load(defaults), CaptureShortcut::defaultShortcut());

    const CaptureShortcut custom{0, 4608, "⌃⇧A"};
    custom.save(defaults);
    EXPECT_EQ(CaptureShortcut::load(DefaultsStore(dir.filePath("defaults.json"))), custom);

    struct Damage {
        const char* key;
        QJsonValue value;
    };
    const Damage damages[] = {
        {"captureShortcutKeyCode", QJsonValue()},    // removed below
        {"captureShortcutModifiers", -1},            // negative
        {"captureShortcutModifiers", 4294967296.0},  // past 32 bits
        {"captureShortcutKeyCode", 1.5},             // not an integer
        {"captureShortcutKeyCode", "18"},            // text
        {"captureShortcutLabel", 7},                 // label not text
    };
    for (const Damage& d : damages) {
        custom.save(defaults);
        if (d.value.isNull())
            defaults.remove(d.key);
        else
            defaults.set(d.key, d.value);
        EXPECT_EQ(CaptureShortcut::load(defaults), CaptureShortcut::defaultShortcut()) << d.key;
    }
}
