#include "CopiedNote.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <memory>

#include "base/MainQueue.h"

namespace tessal::CopiedNote {
namespace {

class NoteWindow final : public QWidget {
  public:
    NoteWindow()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
        setObjectName(QStringLiteral("copiedNote"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_DeleteOnClose);
        setAccessibleName(text());
        const QFontMetrics metrics(labelFont());
        resize(metrics.horizontalAdvance(text()) + 24, metrics.height() + 14);
    }
    std::shared_ptr<WorkItem> expiry;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        paintPanel(painter, rect());
        painter.setFont(labelFont());
        setLabelPen(painter);
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

QPointer<NoteWindow> shown;

}  // namespace

void paintPanel(QPainter& painter, const QRectF& rect) {
    QPainterPath panel;
    panel.addRoundedRect(rect.adjusted(1, 1, -1, -1), 8, 8);
    painter.fillPath(panel, Qt::white);
    painter.setPen(QPen(QColor(0, 0, 0, 64), 1));
    painter.drawPath(panel);
}

QFont labelFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(12);
    return font;
}

void setLabelPen(QPainter& painter) {
    painter.setPen(QColor(30, 30, 30));
}

QWidget* show(QPoint pointer, MainQueue& mainQueue) {
    if (!shown) shown = new NoteWindow;
    NoteWindow* note = shown;
    // Below and right of the pointer, as a tooltip sits; flipped inside the screen's edges.
    QPoint at = pointer + QPoint(14, 18);
    if (QScreen* screen = QGuiApplication::screenAt(pointer)) {
        const QRect area = screen->geometry();
        if (at.x() + note->width() > area.right()) at.setX(pointer.x() - 14 - note->width());
        if (at.y() + note->height() > area.bottom()) at.setY(pointer.y() - 18 - note->height());
    }
    note->move(at);
    note->show();
    note->raise();
    if (note->expiry) note->expiry->cancel();
    QPointer<NoteWindow> alive = note;
    note->expiry = mainQueue.after(duration, [alive] {
        if (alive) alive->close();
    });
    return note;
}

QWidget* current() {
    return shown;
}

}  // namespace tessal::CopiedNote
