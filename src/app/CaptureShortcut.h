#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "platform/KeyCodes.h"

namespace tessal {

class DefaultsStore;

// The global key combination that starts a capture.
struct CaptureShortcut {
    std::uint32_t keyCode = 18;
    std::uint32_t modifiers = 4096;
    QString label = QStringLiteral("⌃1");  // stored as earlier versions wrote it; never shown

    // What menus and dialogs show: the keys in the desktop's notation.
    QString text() const;

    friend bool operator==(const CaptureShortcut&, const CaptureShortcut&) = default;

    static CaptureShortcut defaultShortcut() { return {}; }
    // The shortcut a key press records, or nothing when it has none of Control, Option, Command.
    static std::optional<CaptureShortcut> from(const KeyPress& press);

    // The stored shortcut, used only when all three keys are present and in range.
    static CaptureShortcut load(const DefaultsStore& defaults);
    void save(DefaultsStore& defaults) const;
};

}  // namespace tessal
