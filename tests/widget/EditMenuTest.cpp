#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QUndoStack>
#include <QVBoxLayout>
#include <QWidget>

#include "app/EditMenu.h"

using namespace tessal;

namespace {

class CountingCommand : public QUndoCommand {
  public:
    explicit CountingCommand(int& value) : value_(value) {}
    void redo() override { ++value_; }
    void undo() override { --value_; }

  private:
    int& value_;
};

void sendKey(QWidget* target, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, Qt::Key_Z, modifiers);
    QApplication::sendEvent(target, &event);
}

}  // namespace

TEST(EditMenu, RoutesUndoToTheFocusedFieldOrTheActiveStack) {
    EditMenu menu;
    QUndoStack stack;
    menu.stacks().addStack(&stack);
    menu.stacks().setActiveStack(&stack);
    int value = 0;
    stack.push(new CountingCommand(value));
    stack.push(new CountingCommand(value));

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit;
    layout->addWidget(field);
    window.show();
    QApplication::setActiveWindow(&window);

    // No text field has focus: the window's stack steps back and forward.
    window.setFocus();
    sendKey(&window, Qt::ControlModifier);
    EXPECT_EQ(value, 1);
    sendKey(&window, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(value, 2);
    sendKey(&window, Qt::AltModifier);  // not an edit shortcut
    EXPECT_EQ(value, 2);

    // A focused field undoes its own typing and leaves the stack alone.
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);
    field->insert("abc");
    sendKey(field, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(value, 2);
    sendKey(field, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(field->text(), "abc");
}

// A window with its own stack (a result window) takes the step while it is active; the
// session's stack is left alone, and a destroyed window is forgotten.
TEST(EditMenu, AWindowsOwnStackWinsWhileItIsActive) {
    EditMenu menu;
    QUndoStack session;
    menu.stacks().addStack(&session);
    menu.stacks().setActiveStack(&session);
    int sessionValue = 0, ownValue = 0;
    session.push(new CountingCommand(sessionValue));
    auto window = std::make_unique<QWidget>();
    QUndoStack own;
    own.push(new CountingCommand(ownValue));
    menu.addWindowStack(window.get(), &own);
    window->show();
    QApplication::setActiveWindow(window.get());
    window->setFocus();
    sendKey(window.get(), Qt::ControlModifier);
    EXPECT_EQ(ownValue, 0);
    EXPECT_EQ(sessionValue, 1);
    window.reset();
    menu.undo();
    EXPECT_EQ(sessionValue, 0);
}
