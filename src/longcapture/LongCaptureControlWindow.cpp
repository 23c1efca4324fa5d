#include "LongCaptureControlWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "LongCaptureMoveButton.h"
#include "annotation/ToolbarButtons.h"

namespace tessal {
namespace {

ToolbarIconButton* iconButton(const QString& icon, const QString& hint, QWidget* parent) {
    auto* button = new ToolbarIconButton(icon, QString(), parent);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

LongCaptureControlWindow::LongCaptureControlWindow()
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Never active, so Qt would keep the tooltips of its icon-only buttons to itself.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setWindowTitle(QStringLiteral("Tessal · 长截图"));
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor::fromRgbF(1, 1, 1, 0.98f));
    setPalette(p);
    setAutoFillBackground(true);

    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);

    dimensions = new QLabel(row);
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setPixelSize(12);
    digits.setWeight(QFont::Medium);
    dimensions->setFont(digits);
    dimensions->setFixedWidth(160);
    moveButton = new LongCaptureMoveButton(row);
    direction = new QComboBox(row);
    direction->addItems({QStringLiteral("纵向"), QStringLiteral("横向")});
    direction->setAccessibleName(QStringLiteral("长截图方向"));
    autoButton = new QPushButton(QStringLiteral("自动滚动"), row);
    autoButton->setToolTip(QStringLiteral("自动向下滚动；匹配异常或目标被遮挡时停止自动滚动"));
    auto* speedLabel = new QLabel(QStringLiteral("速度"), row);
    speed = new QComboBox(row);
    speedLabel->setBuddy(speed);
    speed->addItems({QStringLiteral("慢速"), QStringLiteral("正常"), QStringLiteral("快速")});
    speed->setCurrentIndex(1);
    speed->setToolTip(QStringLiteral("自动滚动速度"));
    speed->setAccessibleName(QStringLiteral("自动滚动速度"));
    pauseButton =
        iconButton(QStringLiteral("action-pause"), QStringLiteral("停止／开始 · 空格"), row);
    trimButton = iconButton(QStringLiteral("action-trim"), QStringLiteral("裁剪两端"), row);
    automaticCrop = new QCheckBox(QStringLiteral("回滚裁剪"), row);
    automaticCrop->setChecked(true);
    automaticCrop->setToolTip(QStringLiteral("反向滚动会裁掉已拼接的末端；关闭后保留已有长图"));
    editButton = iconButton(QStringLiteral("action-edit"), QStringLiteral("编辑长图"), row);
    pinButton = iconButton(QStringLiteral("action-pin"), QStringLiteral("贴图"), row);
    saveButton = iconButton(QStringLiteral("action-save"), QStringLiteral("保存"), row);
    closeButton = iconButton(QStringLiteral("action-close"), QStringLiteral("关闭 · Esc"), row);
    closeButton->tint = QColor(255, 59, 48);
    copyButton = iconButton(QStringLiteral("action-copy"), QStringLiteral("复制 · Enter"), row);
    copyButton->tint = QColor(52, 199, 89);
    for (QWidget* w : std::initializer_list<QWidget*>{direction, autoButton, speed, automaticCrop})
        w->setFocusPolicy(Qt::NoFocus);
    for (QWidget* w : std::initializer_list<QWidget*>{
             dimensions, moveButton, direction, autoButton, speedLabel, speed, pauseButton,
             trimButton, automaticCrop, editButton, pinButton, saveButton, closeButton, copyButton})
        layout->addWidget(w, 0, Qt::AlignVCenter);
    row->adjustSize();
    row->move(10, 8);

    setFixedSize(row->width() + 20, row->height() + 58);
    status = new QLabel(this);
    QFont statusFont = font();
    statusFont.setPixelSize(13);
    status->setFont(statusFont);
    status->setWordWrap(true);
    status->setGeometry(10, height() - 6 - 36, width() - 20, 36);
}

void LongCaptureControlWindow::showPaused(bool paused) {
    pauseButton->setIconName(paused ? QStringLiteral("action-play")
                                    : QStringLiteral("action-pause"));
    pauseButton->setAccessibleDescription(paused ? QStringLiteral("开始") : QStringLiteral("停止"));
}

void LongCaptureControlWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onCloseRequest) onCloseRequest();
}

}  // namespace tessal
