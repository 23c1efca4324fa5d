#pragma once

#include <QString>
#include <cstdint>

class QKeyEvent;

namespace tessal {

// Key codes in the numbering the program stores (A 0, S 1, … 1 18, Space 49, Escape 53,
// ← 123 …); keys without such a code get codes from 256 up.
namespace KeyCode {
inline constexpr int a = 0;
inline constexpr int s = 1;
inline constexpr int h = 4;
inline constexpr int z = 6;
inline constexpr int c = 8;
inline constexpr int v = 9;
inline constexpr int one = 18;
inline constexpr int p = 35;
inline constexpr int slash = 44;
inline constexpr int returnKey = 36;
inline constexpr int tab = 48;
inline constexpr int space = 49;
inline constexpr int deleteKey = 51;
inline constexpr int escape = 53;
inline constexpr int keypadEnter = 76;
inline constexpr int forwardDelete = 117;
inline constexpr int f1 = 122;
inline constexpr int left = 123;
inline constexpr int right = 124;
inline constexpr int down = 125;
inline constexpr int up = 126;
inline constexpr int unknown = -1;
}  // namespace KeyCode

// Modifier bits of the hot-key encoding.
namespace HotKeyModifier {
inline constexpr std::uint32_t command = 256;
inline constexpr std::uint32_t shift = 512;
inline constexpr std::uint32_t option = 2048;
inline constexpr std::uint32_t control = 4096;
}  // namespace HotKeyModifier

int keyCodeFromKeysym(std::uint32_t keysym);
// The unshifted keysym of a key code, 0 for an unknown code.
std::uint32_t keysymFromKeyCode(int keyCode);
// For key events that carry no native key (synthetic events): Qt's key number.
int keyCodeFromQtKey(int qtKey);
// What the key types without modifiers ("a", "1", "=") or, for keys that type nothing,
// a readable name ("F5", "Home"); empty for unknown codes.
QString keyCharacters(int keyCode);

// Keys written in Qt's portable notation ("Ctrl+Shift+Z", "Meta+S") in the desktop's notation,
// with Super for the logo key as Linux desktops name it; empty for an empty text.
QString nativeKeys(const char* portable);
QString nativeKeys(const QString& portable);
// One modifier ("Ctrl", "Alt", "Shift", "Meta") alone, in the same notation.
QString nativeModifier(const char* portable);

// A key code with modifiers in the desktop's notation ("Ctrl+Shift+A"): what a shortcut reads.
QString nativeShortcut(int keyCode, bool control, bool option, bool shift, bool command);

// A key press in the program's key codes, with the modifiers that matter to it.
struct KeyPress {
    int keyCode = -1;
    bool control = false;
    bool option = false;
    bool shift = false;
    bool command = false;
    QString characters;  // what the key types without modifiers
};

// The key press of a Qt key event: the native keysym decides the key where there is one,
// Qt's key number otherwise (synthetic events).
KeyPress keyPressFromEvent(const QKeyEvent& event);

}  // namespace tessal
