#include "AlertPresenter.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHash>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSpacerItem>

namespace tessal {
namespace {

QMessageBox::Icon iconFor(AlertSpec::Severity severity) {
    switch (severity) {
        case AlertSpec::Severity::warning:
            return QMessageBox::Warning;
        case AlertSpec::Severity::critical:
            return QMessageBox::Critical;
        case AlertSpec::Severity::information:
            break;
    }
    return QMessageBox::Information;
}

// Within a path, a zero-width space after each slash and word joiners between the letters of
// each name: a long path wraps between its folders, not inside a name (after a hyphen, between
// two Chinese characters).
QString breakablePaths(const QString& text) {
    static const QRegularExpression path(QStringLiteral("/[^\\s“”\"'，。：；]+"));
    QString result;
    qsizetype done = 0;
    for (auto it = path.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        result += text.mid(done, match.capturedStart() - done);
        const QString found = match.captured();
        for (qsizetype i = 0; i < found.size(); ++i) {
            result += found[i];
            if (i + 1 == found.size()) break;
            if (found[i] == QLatin1Char('/'))
                result += QChar(0x200B);
            else if (found[i + 1] != QLatin1Char('/') && !found[i + 1].isLowSurrogate())
                result += QChar(0x2060);
        }
        done = match.capturedEnd();
    }
    return result + text.mid(done);
}

// A key held down when the alert comes up (the Return that answered the alert before it) repeats
// into it and would press its default button unseen: only keys pressed while it is up count.
// The display server repeats a key as a release and a press with one time stamp; Qt marks the
// press as a repeat only when both are already read, so a press that follows a release of the
// same key at the same moment is taken for a repeat as well.
class HeldKeyFilter final : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject*, QEvent* event) override {
        const bool press = event->type() == QEvent::KeyPress;
        if (!press && event->type() != QEvent::KeyRelease) return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        const int code = key->key();
        if (pressedHere_.contains(code)) return false;
        if (!press) {
            releasedAt_.insert(code, key->timestamp());
            return false;
        }
        const auto released = releasedAt_.constFind(code);
        const bool repeat = key->isAutoRepeat() ||
                            (released != releasedAt_.cend() && *released == key->timestamp());
        if (repeat) return true;
        pressedHere_.insert(code);
        return false;
    }

  private:
    QSet<int> pressedHere_;
    // When each key held from before was last released (by the server's repeat or for good).
    QHash<int, quint64> releasedAt_;
};

}  // namespace

std::unique_ptr<QMessageBox> MessageBoxPresenter::build(const AlertSpec& alert,
                                                        QList<QAbstractButton*>* buttons) {
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(QStringLiteral("Tessal"));
    box->setIcon(iconFor(alert.severity));
    box->setText(alert.message);
    box->setInformativeText(breakablePaths(alert.informative));
    QList<QAbstractButton*> added;
    const QStringList titles =
        alert.buttons.isEmpty()
            ? QStringList{QCoreApplication::translate("AlertPresenter", "知道了")}
            : alert.buttons;
    for (int i = 0; i < titles.size(); ++i) {
        // Roles only decide placement: the first button leads and is the default.
        const auto role = i == 0 ? QMessageBox::AcceptRole
                                 : (i == 1 ? QMessageBox::RejectRole : QMessageBox::ActionRole);
        added << box->addButton(titles[i], role);
    }
    box->setDefaultButton(qobject_cast<QPushButton*>(added.first()));
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    // QMessageBox sizes itself from its layout, which a spacer across it widens.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(minimumWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    auto* heldKeys = new HeldKeyFilter(box.get());
    box->installEventFilter(heldKeys);
    for (QWidget* child : box->findChildren<QWidget*>()) child->installEventFilter(heldKeys);
    if (buttons) *buttons = added;
    return box;
}

int MessageBoxPresenter::run(const AlertSpec& alert) {
    QList<QAbstractButton*> buttons;
    const auto box = build(alert, &buttons);
    box->exec();
    lastFrame_ = box->frameGeometry();
    const int index = buttons.indexOf(box->clickedButton());
    if (index < 0) return buttons.size() > 1 ? 1 : 0;
    return index;
}

}  // namespace tessal
