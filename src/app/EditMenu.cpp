#include "EditMenu.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QUndoStack>

namespace tessal {
namespace {

enum class Step { none, undo, redo };

Step stepFor(const QKeyEvent& event) {
    const Qt::KeyboardModifiers m = event.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier |
                                                         Qt::AltModifier | Qt::MetaModifier);
    if (event.key() != Qt::Key_Z) return Step::none;
    if (m == Qt::ControlModifier) return Step::undo;
    if (m == (Qt::ControlModifier | Qt::ShiftModifier)) return Step::redo;
    return Step::none;
}

// Text widgets keep their own typing history; return whether one took the step.
bool routeToText(Step step) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        step == Step::undo ? line->undo() : line->redo();
        return true;
    }
    if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        step == Step::undo ? text->undo() : text->redo();
        return true;
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        step == Step::undo ? plain->undo() : plain->redo();
        return true;
    }
    return false;
}

}  // namespace

EditMenu::EditMenu() {
    if (qApp) qApp->installEventFilter(this);
}

EditMenu::~EditMenu() {
    if (qApp) qApp->removeEventFilter(this);
}

void EditMenu::addWindowStack(QWidget* window, QUndoStack* stack) {
    stacks_.addStack(stack);
    windowStacks_[window] = stack;
    connect(window, &QObject::destroyed, this,
            [this, window](QObject*) { windowStacks_.erase(window); });
}

// The active window's own stack; otherwise the group's active one, the capture session's.
QUndoStack* EditMenu::activeStack() {
    if (const QWidget* window = QApplication::activeWindow()) {
        const auto own = windowStacks_.find(window);
        if (own != windowStacks_.end()) return own->second;
    }
    return stacks_.activeStack();
}

void EditMenu::undo() {
    if (routeToText(Step::undo)) return;
    if (QUndoStack* stack = activeStack()) stack->undo();
}

void EditMenu::redo() {
    if (routeToText(Step::redo)) return;
    if (QUndoStack* stack = activeStack()) stack->redo();
}

bool EditMenu::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    // Every key press is seen once per widget on its way up; act on the receiving one only.
    if (watched != QApplication::focusWidget() && QApplication::focusWidget()) return false;
    const Step step = stepFor(*static_cast<QKeyEvent*>(event));
    if (step == Step::none) return false;
    step == Step::undo ? undo() : redo();
    return true;
}

}  // namespace tessal
