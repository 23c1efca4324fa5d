#include "AnnotationTextView.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTextDocument>

#include "platform/KeyCodes.h"

namespace tessal {

AnnotationTextView::AnnotationTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setToolTip(QCoreApplication::translate("AnnotationTextView", "回车换行，%1 确认，Esc 取消")
                   .arg(nativeKeys("Ctrl+Return")));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setContentsMargins(0, 0, 0, 0);
    setViewportMargins(0, 0, 0, 0);
    document()->setDocumentMargin(0);
    setBackgroundVisible(false);
    setStyleSheet(QStringLiteral("background: transparent;"));
}

void AnnotationTextView::setStringValue(const QString& text) {
    setPlainText(text);
}

void AnnotationTextView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (onCancel) onCancel();
        return;
    }
    const bool returnKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (returnKey && (event->modifiers() & Qt::ControlModifier)) {
        if (onFinish) onFinish();
        return;
    }
    if (returnKey) {
        insertPlainText(QStringLiteral("\n"));  // a line break, whatever the modifiers
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

}  // namespace tessal

namespace tessal {

void AnnotationTextView::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // A popup (the context menu) takes focus without ending the editing.
    if (event->reason() != Qt::PopupFocusReason && onFinish) onFinish();
}

}  // namespace tessal
