#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>

#include "app/ShortcutDialog.h"

using namespace tessal;

namespace {

QString shownLabel(const ShortcutDialog& dialog) {
    for (QLabel* label : dialog.box()->findChildren<QLabel*>())
        if (label->width() == 300 && label->height() == 42) return label->text();
    return {};
}

// A key press as the X server delivers it (with its keysym) or, without one, as a synthetic
// event carries only Qt's key.
bool press(ShortcutDialog& dialog, int qtKey, Qt::KeyboardModifiers modifiers, quint32 keysym = 0) {
    QKeyEvent event(QEvent::KeyPress, qtKey, modifiers, 0, keysym, 0);
    QApplication::sendEvent(dialog.box(), &event);
    return event.isAccepted();
}

}  // namespace

TEST(ShortcutDialog, RecordsAllowedCombinationsAndIgnoresTheRest) {
    ShortcutDialog dialog(CaptureShortcut::defaultShortcut());
    EXPECT_EQ(dialog.box()->text(), "设置截图快捷键");
    EXPECT_EQ(dialog.box()->informativeText(), "请按下组合键，需包含 Ctrl、Alt 或 Super。");
    QStringList buttons;
    for (QAbstractButton* b : dialog.box()->buttons()) buttons << b->text();
    buttons.sort();
    QStringList expected{"保存", "取消", "恢复默认 Ctrl+1"};
    expected.sort();
    EXPECT_EQ(buttons, expected);
    EXPECT_EQ(shownLabel(dialog), "Ctrl+1");

    // Shift+Control+A, pressed in any order, reads Ctrl+Shift+A (through the keysym); the stored
    // label keeps the notation earlier versions wrote.
    press(dialog, Qt::Key_A, Qt::ShiftModifier | Qt::ControlModifier, 0x41);
    EXPECT_EQ(dialog.candidate(), (CaptureShortcut{0, 4608, "⌃⇧A"}));
    EXPECT_EQ(shownLabel(dialog), "Ctrl+Shift+A");

    // Shift alone, or no modifier, is not a candidate.
    press(dialog, Qt::Key_B, Qt::ShiftModifier, 0x42);
    press(dialog, Qt::Key_B, Qt::NoModifier, 0x62);
    EXPECT_EQ(dialog.candidate().label, "⌃⇧A");

    // Synthetic events without a keysym still map through Qt's key.
    press(dialog, Qt::Key_Space, Qt::AltModifier | Qt::MetaModifier);
    EXPECT_EQ(dialog.candidate(), (CaptureShortcut{49, 2304, "⌥⌘空格"}));
    EXPECT_EQ(shownLabel(dialog), "Super+Alt+Space");
}

TEST(ShortcutDialog, KeyPressFromEventPrefersTheKeysym) {
    // On a French layout Qt reports the "1" key as '&'; the keysym decides.
    QKeyEvent event(QEvent::KeyPress, Qt::Key_Ampersand, Qt::ControlModifier, 10, 0x31, 0);
    const KeyPress p = keyPressFromEvent(event);
    EXPECT_EQ(p.keyCode, 18);
    EXPECT_TRUE(p.control);
    EXPECT_EQ(p.characters, "1");
}
