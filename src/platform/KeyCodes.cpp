#include "KeyCodes.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>

namespace tessal {
namespace {

struct KeyEntry {
    int code;
    std::uint32_t keysym;
    int qtKey;
    const char* characters;
};

// Qt key numbers are spelled out so this table needs no widget headers.
constexpr KeyEntry kKeys[] = {
    {0, 0x61, 0x41, "a"},
    {1, 0x73, 0x53, "s"},
    {2, 0x64, 0x44, "d"},
    {3, 0x66, 0x46, "f"},
    {4, 0x68, 0x48, "h"},
    {5, 0x67, 0x47, "g"},
    {6, 0x7a, 0x5a, "z"},
    {7, 0x78, 0x58, "x"},
    {8, 0x63, 0x43, "c"},
    {9, 0x76, 0x56, "v"},
    {11, 0x62, 0x42, "b"},
    {12, 0x71, 0x51, "q"},
    {13, 0x77, 0x57, "w"},
    {14, 0x65, 0x45, "e"},
    {15, 0x72, 0x52, "r"},
    {16, 0x79, 0x59, "y"},
    {17, 0x74, 0x54, "t"},
    {18, 0x31, 0x31, "1"},
    {19, 0x32, 0x32, "2"},
    {20, 0x33, 0x33, "3"},
    {21, 0x34, 0x34, "4"},
    {22, 0x36, 0x36, "6"},
    {23, 0x35, 0x35, "5"},
    {24, 0x3d, 0x3d, "="},
    {25, 0x39, 0x39, "9"},
    {26, 0x37, 0x37, "7"},
    {27, 0x2d, 0x2d, "-"},
    {28, 0x38, 0x38, "8"},
    {29, 0x30, 0x30, "0"},
    {30, 0x5d, 0x5d, "]"},
    {31, 0x6f, 0x4f, "o"},
    {32, 0x75, 0x55, "u"},
    {33, 0x5b, 0x5b, "["},
    {34, 0x69, 0x49, "i"},
    {35, 0x70, 0x50, "p"},
    {36, 0xff0d, 0x01000004, "Return"},
    {37, 0x6c, 0x4c, "l"},
    {38, 0x6a, 0x4a, "j"},
    {39, 0x27, 0x27, "'"},
    {40, 0x6b, 0x4b, "k"},
    {41, 0x3b, 0x3b, ";"},
    {42, 0x5c, 0x5c, "\\"},
    {43, 0x2c, 0x2c, ","},
    {44, 0x2f, 0x2f, "/"},
    {45, 0x6e, 0x4e, "n"},
    {46, 0x6d, 0x4d, "m"},
    {47, 0x2e, 0x2e, "."},
    {48, 0xff09, 0x01000001, "Tab"},
    {49, 0x20, 0x20, " "},
    {50, 0x60, 0x60, "`"},
    {51, 0xff08, 0x01000003, "Backspace"},
    {53, 0xff1b, 0x01000000, "Esc"},
    {76, 0xff8d, 0x01000005, "Enter"},
    {96, 0xffc2, 0x01000034, "F5"},
    {97, 0xffc3, 0x01000035, "F6"},
    {98, 0xffc4, 0x01000036, "F7"},
    {99, 0xffc0, 0x01000032, "F3"},
    {100, 0xffc5, 0x01000037, "F8"},
    {101, 0xffc6, 0x01000038, "F9"},
    {103, 0xffc8, 0x0100003a, "F11"},
    {105, 0xffca, 0x0100003c, "F13"},
    {109, 0xffc7, 0x01000039, "F10"},
    {111, 0xffc9, 0x0100003b, "F12"},
    {115, 0xff50, 0x01000010, "Home"},
    {116, 0xff55, 0x01000016, "PageUp"},
    {117, 0xffff, 0x01000007, "Delete"},
    {118, 0xffc1, 0x01000033, "F4"},
    {119, 0xff57, 0x01000011, "End"},
    {120, 0xffbf, 0x01000031, "F2"},
    {121, 0xff56, 0x01000017, "PageDown"},
    {122, 0xffbe, 0x01000030, "F1"},
    {123, 0xff51, 0x01000012, "Left"},
    {124, 0xff53, 0x01000014, "Right"},
    {125, 0xff54, 0x01000015, "Down"},
    {126, 0xff52, 0x01000013, "Up"},
    {256, 0xff61, 0x01000009, "Print"},
    {257, 0xff13, 0x01000008, "Pause"},
    {258, 0xff67, 0x01000055, "Menu"},
    {259, 0xff63, 0x01000006, "Insert"},
    {260, 0xff14, 0x01000026, "ScrollLock"},
    // Keypad digits have codes of their own.
    {82, 0xffb0, -1, "0"},
    {83, 0xffb1, -1, "1"},
    {84, 0xffb2, -1, "2"},
    {85, 0xffb3, -1, "3"},
    {86, 0xffb4, -1, "4"},
    {87, 0xffb5, -1, "5"},
    {88, 0xffb6, -1, "6"},
    {89, 0xffb7, -1, "7"},
    {91, 0xffb8, -1, "8"},
    {92, 0xffb9, -1, "9"},
};

const KeyEntry* entryForCode(int code) {
    for (const auto& e : kKeys)
        if (e.code == code) return &e;
    return nullptr;
}

}  // namespace

int keyCodeFromKeysym(std::uint32_t keysym) {
    // Upper-case letters arrive when Shift or Lock is down; the key is the same.
    if (keysym >= 0x41 && keysym <= 0x5a) keysym += 0x20;
    for (const auto& e : kKeys)
        if (e.keysym == keysym) return e.code;
    return KeyCode::unknown;
}

std::uint32_t keysymFromKeyCode(int keyCode) {
    const KeyEntry* e = entryForCode(keyCode);
    return e ? e->keysym : 0;
}

int keyCodeFromQtKey(int qtKey) {
    if (qtKey < 0) return KeyCode::unknown;
    for (const auto& e : kKeys)
        if (e.qtKey == qtKey) return e.code;
    return KeyCode::unknown;
}

QString keyCharacters(int keyCode) {
    const KeyEntry* e = entryForCode(keyCode);
    return e ? QString::fromUtf8(e->characters) : QString();
}

namespace {

QString nativeText(const QKeySequence& keys) {
    QString text = keys.toString(QKeySequence::NativeText);
    // Qt names the logo key Meta outside macOS; Linux desktops call it Super.
    // Qt's own text, translated by Qt's translations (the context is not ours to extract).
    const char* const qtContext = "QShortcut";
    const QString meta = QCoreApplication::translate(qtContext, "Meta") + QLatin1Char('+');
    return text.replace(meta, QCoreApplication::translate("KeyCodes", "Super") + QLatin1Char('+'));
}

}  // namespace

QString nativeKeys(const QString& portable) {
    if (portable.isEmpty()) return {};
    return nativeText(QKeySequence(portable, QKeySequence::PortableText));
}

QString nativeKeys(const char* portable) {
    return nativeKeys(QString::fromLatin1(portable));
}

QString nativeModifier(const char* portable) {
    QString keys = nativeKeys(QString::fromLatin1(portable) + QStringLiteral("+A"));
    keys.chop(2);
    return keys;
}

QString nativeShortcut(int keyCode, bool control, bool option, bool shift, bool command) {
    const Qt::KeyboardModifiers modifiers = (control ? Qt::ControlModifier : Qt::NoModifier) |
                                            (option ? Qt::AltModifier : Qt::NoModifier) |
                                            (shift ? Qt::ShiftModifier : Qt::NoModifier) |
                                            (command ? Qt::MetaModifier : Qt::NoModifier);
    const KeyEntry* e = entryForCode(keyCode);
    if (!e) return nativeText(QKeySequence(QKeyCombination(modifiers, Qt::Key_unknown)));
    // From Qt's key number: a text form would need "+" and "," quoted.
    return nativeText(QKeySequence(QKeyCombination(modifiers, Qt::Key(e->qtKey))));
}

KeyPress keyPressFromEvent(const QKeyEvent& event) {
    KeyPress press;
    int code = KeyCode::unknown;
    if (event.nativeVirtualKey() != 0) code = keyCodeFromKeysym(event.nativeVirtualKey());
    if (code == KeyCode::unknown) code = keyCodeFromQtKey(event.key());
    press.keyCode = code;
    const Qt::KeyboardModifiers m = event.modifiers();
    press.control = m & Qt::ControlModifier;
    press.option = m & Qt::AltModifier;
    press.shift = m & Qt::ShiftModifier;
    press.command = m & Qt::MetaModifier;
    press.characters = keyCharacters(code);
    return press;
}

}  // namespace tessal
