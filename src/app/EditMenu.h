#pragma once

#include <QObject>
#include <QUndoGroup>
#include <map>

class QWidget;

namespace tessal {

// Control+Z and Shift+Control+Z for the whole program: the focused text field undoes its own
// typing; otherwise the active window's undo stack takes the step.
class EditMenu final : public QObject {
    Q_OBJECT
  public:
    EditMenu();
    ~EditMenu() override;

    // Window undo stacks join this group; the shown window's stack is made active.
    QUndoGroup& stacks() { return stacks_; }
    // A window with a stack of its own: while it is the active window, its stack takes the
    // steps. Forgotten when the window is destroyed.
    void addWindowStack(QWidget* window, QUndoStack* stack);

    void undo();
    void redo();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QUndoStack* activeStack();
    QUndoGroup stacks_;
    std::map<const QWidget*, QUndoStack*> windowStacks_;
};

}  // namespace tessal
