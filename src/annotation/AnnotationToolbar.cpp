#include "AnnotationToolbar.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QDoubleValidator>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>

#include "NamedColors.h"
#include "ToolbarButtons.h"
#include "ToolbarModel.h"
#include "base/MainQueue.h"

namespace tessal {
namespace {

QWidget* divider() {
    auto* line = new QFrame;
    line->setFixedSize(1, 20);
    line->setStyleSheet(QStringLiteral("background: rgba(0,0,0,0.15);"));
    return line;
}

QHBoxLayout* row(int spacing) {
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->setAlignment(Qt::AlignVCenter);
    return layout;
}

QWidget* holder(QLayout* layout) {
    auto* w = new QWidget;
    w->setLayout(layout);
    return w;
}

}  // namespace

AnnotationToolbar::AnnotationToolbar(double availableWidth, MainQueue& mainQueue, QWidget* parent)
    : QWidget(parent), mainQueue_(mainQueue) {
    setAttribute(Qt::WA_TranslucentBackground);
    QPalette light = palette();
    light.setColor(QPalette::WindowText, QColor(30, 30, 32));
    light.setColor(QPalette::Text, QColor(30, 30, 32));
    light.setColor(QPalette::Base, Qt::white);
    setPalette(light);

    auto* toolRow = row(3);
    tools_.resize(toolbarTools.size());
    for (int index : toolbarVisualOrder) {
        const ToolbarTool& t = toolbarTools[index];
        auto* button =
            new ToolbarIconButton(QString::fromUtf8(t.icon), QString::fromUtf8(t.letter));
        button->setText(toolbarText(t.title));
        button->setCheckable(true);
        button->indicatesSelection = true;
        const QString tip =
            index == 0
                ? QCoreApplication::translate("AnnotationToolbar", "%1 · %2 · 按住空格临时移动")
                      .arg(toolbarText(t.title), QString::fromUtf8(t.letter))
                : QStringLiteral("%1 · %2").arg(toolbarText(t.title), QString::fromUtf8(t.letter));
        button->setToolTip(tip);
        button->setAccessibleDescription(tip);
        button->setAccessibleName(toolbarText(t.title));
        button->setObjectName(QString::fromUtf8(t.identifier));
        connect(button, &QAbstractButton::clicked, this, [this, index] {
            selectTool(index);
            if (onTool) onTool(index);
        });
        tools_[index] = button;
        toolRow->addWidget(button);
    }
    tools_[ToolbarIndex::of(Tool::mosaic)]->setAccessibleName(
        QCoreApplication::translate("AnnotationToolbar", "马赛克"));

    auto* actionRow = row(3);
    for (const ToolbarAction& a : toolbarActions) {
        auto* button = new ToolbarIconButton(QString::fromUtf8(a.icon), actionHint(a));
        const QString title = toolbarText(a.title);
        button->setText(title);
        button->setToolTip(actionTooltip(a));
        button->setAccessibleName(title);
        button->setObjectName(QString::fromUtf8(a.identifier));
        if (a.tint == ActionTint::red) button->tint = NamedColor::systemRed();
        if (a.tint == ActionTint::green) button->tint = NamedColor::systemGreen();
        connect(button, &QAbstractButton::clicked, this, [this, id = a.id] {
            if (id == ToolbarActionId::recognizeText) {
                if (onOCR) onOCR(false);
            } else if (onAction) {
                onAction(id);
            }
        });
        actions_.push_back(button);
        actionRow->addWidget(button);
    }

    auto* colourRow = row(3);
    for (const Swatch& s : toolbarSwatches()) {
        auto* button = new ColorSwatchButton(s.color);
        button->setToolTip(toolbarText(s.name));
        button->setAccessibleName(toolbarText(s.name));
        connect(button, &QAbstractButton::clicked, this, [this, c = s.color] {
            if (onColor) onColor(c);
        });
        colors_.push_back(button);
        colourRow->addWidget(button);
    }
    colorGroup_ = holder(colourRow);
    colorDivider_ = divider();

    auto* segments = row(0);
    for (int i = 0; i < 2; ++i) {
        auto* segment =
            new QPushButton(i == 0 ? QCoreApplication::translate("AnnotationToolbar", "涂抹")
                                   : QCoreApplication::translate("AnnotationToolbar", "框选"));
        segment->setCheckable(true);
        segment->setFocusPolicy(Qt::NoFocus);
        segment->setFixedHeight(24);
        segment->setStyleSheet(QStringLiteral(
            "QPushButton{border:1px solid rgba(0,0,0,0.18);padding:0 8px;background:white;}"
            "QPushButton:checked{background:rgba(0,122,255,0.18);}"));
        connect(segment, &QAbstractButton::clicked, this, [this, i] {
            mosaicMode_ = i == 0 ? MosaicMode::brush : MosaicMode::rectangle;
            for (int k = 0; k < 2; ++k) mosaicSegments_[k]->setChecked(k == i);
            if (onMosaicMode) onMosaicMode(mosaicMode_);
        });
        mosaicSegments_.push_back(segment);
        segments->addWidget(segment);
    }
    mosaicControl_ = holder(segments);
    mosaicControl_->setObjectName(QStringLiteral("mosaic.mode"));
    mosaicControl_->setAccessibleName(
        QCoreApplication::translate("AnnotationToolbar", "马赛克模式"));

    widthLabel_ = new QLabel(QCoreApplication::translate("AnnotationToolbar", "笔刷大小"));
    auto* widthRow = row(2);
    for (const WidthChoice& w : toolbarWidths) {
        auto* button = new StrokeWidthButton(toolbarText(w.name), w.width);
        connect(button, &QAbstractButton::clicked, this, [this, width = w.width] {
            if (onWidth) onWidth(width);
        });
        widths_.push_back(button);
        widthRow->addWidget(button);
    }

    fontSizeField_ = new QLineEdit(QStringLiteral("24"));
    fontSizeField_->setFixedWidth(42);
    fontSizeField_->setToolTip(
        QCoreApplication::translate("AnnotationToolbar", "文字／编号字号（10–96）"));
    fontSizeField_->setAccessibleName(
        QCoreApplication::translate("AnnotationToolbar", "文字／编号字号"));
    fontSizeField_->setValidator(new QDoubleValidator(0, 1000, 1, fontSizeField_));
    connect(fontSizeField_, &QLineEdit::returnPressed, this, [this] {
        bool ok = false;
        const double value = fontSizeField_->text().toDouble(&ok);
        if (ok && onFontSize) onFontSize(value);
    });
    auto* fontRow = row(8);
    fontRow->addWidget(divider());
    fontRow->addWidget(new QLabel(QCoreApplication::translate("AnnotationToolbar", "字号")));
    fontRow->addWidget(fontSizeField_);
    fontGroup_ = holder(fontRow);

    auto* style = row(8);
    style->addWidget(colorGroup_);
    style->addWidget(colorDivider_);
    style->addWidget(mosaicControl_);
    style->addWidget(widthLabel_);
    style->addWidget(holder(widthRow));
    style->addWidget(fontGroup_);
    styleRow_ = holder(style);

    auto* tools = holder(toolRow);
    auto* actionsHolder = holder(actionRow);
    auto* content = new QVBoxLayout(this);
    content->setContentsMargins(10, 8, 10, 8);
    content->setSpacing(4);
    const double mainWidth =
        tools->sizeHint().width() + 8 + 1 + 8 + actionsHolder->sizeHint().width();
    compact_ = mainWidth + 20 > availableWidth;
    if (compact_) {
        content->addWidget(tools, 0, Qt::AlignHCenter);
        content->addWidget(actionsHolder, 0, Qt::AlignHCenter);
    } else {
        auto* main = row(8);
        main->addWidget(tools);
        main->addWidget(divider());
        main->addWidget(actionsHolder);
        content->addWidget(holder(main), 0, Qt::AlignHCenter);
    }
    content->addWidget(styleRow_, 0, Qt::AlignHCenter);
    content->setSizeConstraint(QLayout::SetFixedSize);

    selectTool(0);
    updateStyle(NamedColor::systemRed(), 3);
}

ToolbarIconButton* AnnotationToolbar::action(ToolbarActionId id) const {
    for (std::size_t i = 0; i < toolbarActions.size(); ++i)
        if (toolbarActions[i].id == id) return actions_[i];
    return nullptr;
}

bool AnnotationToolbar::actionEnabled(ToolbarActionId id) const {
    const ToolbarIconButton* button = action(id);
    return button && button->isEnabled();
}

void AnnotationToolbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 10, 10);
    painter.fillPath(shape, QColor::fromRgbF(0.98, 0.98, 0.98));
    painter.setPen(QPen(QColor(0, 0, 0, 40), 1));
    painter.drawPath(shape);
}

void AnnotationToolbar::relayout() {
    layout()->activate();
    adjustSize();
    if (onLayoutChange) onLayoutChange();
}

void AnnotationToolbar::selectTool(int index) {
    activeTool_ = index;
    for (int i = 0; i < int(tools_.size()); ++i) tools_[i]->setChecked(i == index);
    updateContext(std::nullopt, std::nullopt);
}

void AnnotationToolbar::updateContext(std::optional<Tool> selectedTool,
                                      std::optional<MosaicMode> mode) {
    if (mode) mosaicMode_ = *mode;
    const ToolbarContext c = toolbarContext(activeTool_, selectedTool, mosaicMode_);
    styleRow_->setVisible(c.styleRow);
    fontGroup_->setVisible(c.fontGroup);
    mosaicControl_->setVisible(c.mosaicControl);
    for (int k = 0; k < 2; ++k) mosaicSegments_[k]->setChecked(k == int(mosaicMode_));
    colorGroup_->setVisible(c.colorGroup);
    colorDivider_->setVisible(c.colorGroup);
    widthLabel_->setVisible(c.widthLabel);
    widthLabel_->setText(c.widthLabelText);
    for (int i = 0; i < 3; ++i) {
        widths_[i]->setToolTip(c.widthTooltips[i]);
        widths_[i]->setAccessibleName(c.widthTooltips[i]);
    }
    relayout();
}

void AnnotationToolbar::updateStyle(const QColor& color, double width) {
    for (ColorSwatchButton* s : colors_) s->setChecked(sameSwatchColor(s->color, color));
    for (StrokeWidthButton* w : widths_) w->setChecked(std::abs(w->strokeWidth - width) < 0.01);
}

void AnnotationToolbar::setFontSize(double size) {
    fontSizeField_->setText(QString::number(int(size)));
}

bool AnnotationToolbar::handleShortcut(const KeyPress& press, bool isRepeat) {
    QWidget* focus = QApplication::focusWidget();
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) ||
        qobject_cast<QPlainTextEdit*>(focus))
        return false;
    const auto shortcut = toolbarShortcut(press);
    if (!shortcut) return false;
    if (shortcut->recognizeAndCopy) {
        if (!isRepeat && onOCR) onOCR(true);
        return true;
    }
    ToolbarIconButton* button = tools_[*shortcut->tool];
    if (!button->isEnabled()) return false;
    if (isRepeat) return true;
    selectTool(*shortcut->tool);
    if (onTool) onTool(*shortcut->tool);
    return true;
}

void AnnotationToolbar::flashCopied() {
    ToolbarIconButton* copy = action(ToolbarActionId::copy);
    if (!copy) return;
    copy->setIconName(QStringLiteral("action-copied"));
    copy->setAccessibleName(QCoreApplication::translate("AnnotationToolbar", "已复制"));
    QPointer<ToolbarIconButton> guard(copy);
    mainQueue_.after(1.2, [guard] {
        if (!guard) return;
        guard->setIconName(QStringLiteral("action-copy"));
        guard->setAccessibleName(QCoreApplication::translate("AnnotationToolbar", "复制"));
    });
}

void AnnotationToolbar::disableActions(std::initializer_list<ToolbarActionId> ids,
                                       const QString& reason) {
    for (ToolbarActionId id : ids) {
        ToolbarIconButton* button = action(id);
        if (!button) continue;
        button->setEnabled(false);
        if (!reason.isEmpty()) button->setToolTip(reason);
    }
}

void AnnotationToolbar::disableTool(int index) {
    if (index >= 0 && index < int(tools_.size())) tools_[index]->setEnabled(false);
}

}  // namespace tessal
