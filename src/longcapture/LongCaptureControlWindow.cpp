#include "LongCaptureControlWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
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
    setWindowTitle(QCoreApplication::translate("LongCaptureControlWindow", "Tessal · 长截图"));
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
    direction->addItems({QCoreApplication::translate("LongCaptureControlWindow", "纵向"),
                         QCoreApplication::translate("LongCaptureControlWindow", "横向")});
    direction->setAccessibleName(
        QCoreApplication::translate("LongCaptureControlWindow", "长截图方向"));
    autoButton =
        new QPushButton(QCoreApplication::translate("LongCaptureControlWindow", "自动滚动"), row);
    autoButton->setToolTip(QCoreApplication::translate(
        "LongCaptureControlWindow", "自动向下滚动；匹配异常或目标被遮挡时停止自动滚动"));
    auto* speedLabel =
        new QLabel(QCoreApplication::translate("LongCaptureControlWindow", "速度"), row);
    speed = new QComboBox(row);
    speedLabel->setBuddy(speed);
    speed->addItems({QCoreApplication::translate("LongCaptureControlWindow", "慢速"),
                     QCoreApplication::translate("LongCaptureControlWindow", "正常"),
                     QCoreApplication::translate("LongCaptureControlWindow", "快速")});
    speed->setCurrentIndex(1);
    speed->setToolTip(QCoreApplication::translate("LongCaptureControlWindow", "自动滚动速度"));
    speed->setAccessibleName(
        QCoreApplication::translate("LongCaptureControlWindow", "自动滚动速度"));
    pauseButton = iconButton(
        QStringLiteral("action-pause"),
        QCoreApplication::translate("LongCaptureControlWindow", "停止／开始 · 空格"), row);
    trimButton =
        iconButton(QStringLiteral("action-trim"),
                   QCoreApplication::translate("LongCaptureControlWindow", "裁剪两端"), row);
    automaticCrop =
        new QCheckBox(QCoreApplication::translate("LongCaptureControlWindow", "回滚裁剪"), row);
    automaticCrop->setChecked(true);
    automaticCrop->setToolTip(QCoreApplication::translate(
        "LongCaptureControlWindow", "反向滚动会裁掉已拼接的末端；关闭后保留已有长图"));
    editButton =
        iconButton(QStringLiteral("action-edit"),
                   QCoreApplication::translate("LongCaptureControlWindow", "编辑长图"), row);
    pinButton = iconButton(QStringLiteral("action-pin"),
                           QCoreApplication::translate("LongCaptureControlWindow", "贴图"), row);
    saveButton = iconButton(QStringLiteral("action-save"),
                            QCoreApplication::translate("LongCaptureControlWindow", "保存"), row);
    closeButton =
        iconButton(QStringLiteral("action-close"),
                   QCoreApplication::translate("LongCaptureControlWindow", "关闭 · Esc"), row);
    closeButton->tint = QColor(255, 59, 48);
    copyButton =
        iconButton(QStringLiteral("action-copy"),
                   QCoreApplication::translate("LongCaptureControlWindow", "复制 · Enter"), row);
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
    pauseButton->setAccessibleDescription(
        paused ? QCoreApplication::translate("LongCaptureControlWindow", "开始")
               : QCoreApplication::translate("LongCaptureControlWindow", "停止"));
}

void LongCaptureControlWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onCloseRequest) onCloseRequest();
}

}  // namespace tessal
