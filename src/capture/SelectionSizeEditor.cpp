#include "SelectionSizeEditor.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include "SelectionDrawing.h"
#include "SelectionGeometry.h"
#include "base/QtGeometry.h"
#include "platform/KeyCodes.h"

namespace tessal {
namespace {

// Larger sizes are clipped to the display by exactSelectionSize anyway.
constexpr int kLargestSide = 99999;

}  // namespace

SelectionSizeEditor::SelectionSizeEditor(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QCoreApplication::translate("SelectionSizeEditor", "设置截图尺寸"));
    setToolTip(
        QCoreApplication::translate("SelectionSizeEditor", "设置截图尺寸 · 回车确定 · Esc 取消"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 2, 6, 2);
    row->setSpacing(4);
    auto field = [this, row](const QString& caption, const QString& name) {
        auto* label = new QLabel(caption, this);
        label->setStyleSheet(QStringLiteral("color: white;"));
        auto* edit = new QLineEdit(this);
        edit->setAccessibleName(name);
        edit->setValidator(new QIntValidator(1, kLargestSide, edit));
        edit->setFixedSize(56, 20);
        edit->setAlignment(Qt::AlignRight);
        edit->installEventFilter(this);
        row->addWidget(label);
        row->addWidget(edit);
        return edit;
    };
    width_ = field(QCoreApplication::translate("SelectionSizeEditor", "宽"),
                   QCoreApplication::translate("SelectionSizeEditor", "宽度像素"));
    height_ = field(QCoreApplication::translate("SelectionSizeEditor", "高"),
                    QCoreApplication::translate("SelectionSizeEditor", "高度像素"));
    auto* unit = new QLabel(QStringLiteral("px"), this);
    unit->setStyleSheet(QStringLiteral("color: white;"));
    row->addWidget(unit);
    hide();
}

SelectionSizeEditor::~SelectionSizeEditor() {
    QObject::disconnect(focusWatch_);
}

void SelectionSizeEditor::open(QSize current, const Rect& selection, const Rect& within) {
    width_->setText(QString::number(current.width()));
    height_->setText(QString::number(current.height()));
    // Placed by the badge's rule; that rule adds 20 points of margin to the width it is given.
    const Rect frame = sizeBadgeFrame(sizeHint().width() - 20, selection, within);
    setGeometry(viewRect(frame, within.maxY()).toRect());
    show();
    raise();
    width_->setFocus();
    width_->selectAll();
    // A click elsewhere (the canvas, the toolbar) takes the focus: that cancels, as Escape does.
    QObject::disconnect(focusWatch_);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (editing() && now && now != width_ && now != height_) cancel();
    });
}

void SelectionSizeEditor::cancel() {
    if (editing()) finish();
}

void SelectionSizeEditor::apply() {
    if (!width_->hasAcceptableInput() || !height_->hasAcceptableInput()) return;
    const QSize size(width_->text().toInt(), height_->text().toInt());
    auto applied = onApply;
    finish();
    if (applied) applied(size);
}

void SelectionSizeEditor::finish() {
    QObject::disconnect(focusWatch_);
    hide();
    if (auto closed = onClose) closed();
}

bool SelectionSizeEditor::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == width_ || watched == height_) && event->type() == QEvent::KeyPress) {
        const int code = keyPressFromEvent(*static_cast<QKeyEvent*>(event)).keyCode;
        if (code == KeyCode::returnKey || code == KeyCode::keypadEnter) {
            apply();
            return true;
        }
        if (code == KeyCode::escape) {
            cancel();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SelectionSizeEditor::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawBadgeFace(painter, rect());
}

}  // namespace tessal
