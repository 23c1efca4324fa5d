#include "PinnedImage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <QWidgetAction>

#include "PinGeometry.h"
#include "base/QtGeometry.h"
#include "platform/KeyCodes.h"
#include "platform/Pasteboard.h"

namespace tessal {
namespace {

QRectF primaryGeometry() {
    QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? QRectF(primary->geometry()) : QRectF();
}

}  // namespace

std::unique_ptr<PinnedImage> PinnedImage::create(const EncodedImage& image, const Rect& frame,
                                                 Pasteboard& pasteboard, bool composited) {
    if (image.image.isNull() || !(frame.width() > 0) || !(frame.height() > 0)) return nullptr;
    return std::unique_ptr<PinnedImage>(
        new PinnedImage(image.image, image.png, frame, pasteboard, composited));
}

PinnedImage::PinnedImage(QImage image, QByteArray png, const Rect& frame, Pasteboard& pasteboard,
                         bool composited)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      image_(std::move(image)),
      png_(std::move(png)),
      pasteboard_(pasteboard),
      originalSize_(frame.size),
      composited_(composited),
      margin_(frameWidth + (composited ? shadowWidth : 0)) {
    setWindowTitle(QCoreApplication::translate("PinnedImage", "Tessal · 贴图"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Without a compositor a translucent window shows garbage where it is not painted.
    if (composited_) setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::OpenHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(
        composited_
            ? QCoreApplication::translate("PinnedImage",
                                          "滚轮缩放 · 右键调透明度 · %1+滚轮调透明度 · "
                                          "双击恢复大小 · Esc 关闭")
                  .arg(nativeModifier("Alt"))
            : QCoreApplication::translate("PinnedImage", "滚轮缩放 · 双击恢复大小 · Esc 关闭"));
    setGlobalFrame(frame);

    menu_ = new QMenu(this);
    QAction* copy = menu_->addAction(QCoreApplication::translate("PinnedImage", "复制"), this,
                                     [this] { copyImage(); });
    copy->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    menu_->addAction(QCoreApplication::translate("PinnedImage", "关闭贴图"), this,
                     [this] { closePin(); });
    menu_->addSeparator();
    QAction* reset = menu_->addAction(QCoreApplication::translate("PinnedImage", "恢复原始大小"),
                                      this, [this] { setZoom(1); });
    reset->setShortcut(QKeySequence(QStringLiteral("Ctrl+0")));
    auto* panel = new QWidget;
    panel->setFixedSize(240, 64);
    auto* title = new QLabel(
        composited_ ? QCoreApplication::translate("PinnedImage", "透明度")
                    : QCoreApplication::translate("PinnedImage", "透明度 · 需要窗口合成器"),
        panel);
    title->setGeometry(20, 8, 140, 20);
    sliderLabel_ = new QLabel(QStringLiteral("0%"), panel);
    sliderLabel_->setGeometry(170, 8, 50, 20);
    sliderLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    slider_ = new QSlider(Qt::Horizontal, panel);
    slider_->setGeometry(20, 32, 200, 24);
    slider_->setRange(0, 80);
    slider_->setAccessibleName(QCoreApplication::translate("PinnedImage", "透明度"));
    connect(slider_, &QSlider::valueChanged, this, [this](int v) { setOpacity(1 - v / 100.0); });
    auto* sliderItem = new QWidgetAction(menu_);
    sliderItem->setDefaultWidget(panel);
    menu_->addAction(sliderItem);
    QAction* opaque = menu_->addAction(QCoreApplication::translate("PinnedImage", "恢复不透明"),
                                       this, [this] { setOpacity(1); });
    if (!composited_) {
        title->setToolTip(QCoreApplication::translate(
            "PinnedImage", "桌面没有运行窗口合成器，窗口无法半透明显示"));
        title->setEnabled(false);
        slider_->setEnabled(false);
        sliderLabel_->setEnabled(false);
        opaque->setEnabled(false);
    }
}

Rect PinnedImage::globalFrame() const {
    const QMargins around(margin_, margin_, margin_, margin_);
    return globalFromQt(QRectF(geometry().marginsRemoved(around)), primaryGeometry());
}

void PinnedImage::setGlobalFrame(const Rect& frame) {
    const QMargins around(margin_, margin_, margin_, margin_);
    setGeometry(qtFromGlobal(frame, primaryGeometry()).toRect().marginsAdded(around));
}

void PinnedImage::showWindow() {
    if (closed_) return;
    show();
    raise();
    activateWindow();
    setFocus();
}

void PinnedImage::setZoom(double requested) {
    const auto z = PinGeometry::zoom(requested, originalSize_);
    if (!z) return;
    zoom_ = *z;
    std::optional<Rect> visible;
    if (QScreen* s = screen())
        visible = globalFromQt(QRectF(s->availableGeometry()), primaryGeometry());
    setGlobalFrame(PinGeometry::zoomedFrame(globalFrame(), originalSize_, zoom_, visible));
    update();
}

void PinnedImage::setOpacity(double requested) {
    const auto a = PinGeometry::opacity(requested);
    if (!a || !composited_) return;
    opacity_ = *a;
    setWindowOpacity(*a);
    const int value = PinGeometry::sliderValue(*a);
    const QSignalBlocker block(slider_);
    slider_->setValue(value);
    sliderLabel_->setText(QStringLiteral("%1%").arg(value));
}

void PinnedImage::copyImage() {
    pasteboard_.setPng(png_);
}

void PinnedImage::closePin() {
    close();
}

void PinnedImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect image = rect().marginsRemoved(QMargins(margin_, margin_, margin_, margin_));
    const QRect framed =
        image.marginsAdded(QMargins(frameWidth, frameWidth, frameWidth, frameWidth));
    if (composited_) {
        // Layers that add up towards the frame, a pixel lower than the pin as if lit from above.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 14));
        painter.setRenderHint(QPainter::Antialiasing);
        for (int i = shadowWidth; i >= 1; --i)
            painter.drawRoundedRect(QRectF(framed).adjusted(-i, -i + 1, i, i), i, i);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    // A mid grey stands apart from light and dark windows alike.
    painter.fillRect(framed, QColor(0x80, 0x80, 0x80));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(image), image_);
}

void PinnedImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    raise();
    activateWindow();
    setFocus();
    dragOffset_ = event->globalPosition().toPoint() - pos();
    setCursor(Qt::ClosedHandCursor);
}

void PinnedImage::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - dragOffset_);
}

void PinnedImage::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) setZoom(1);
}

void PinnedImage::wheelEvent(QWheelEvent* event) {
    // One notch of a wheel is 120; trackpads report finer steps.
    const double notches = event->angleDelta().y() / 120.0;
    const double d = std::clamp(notches, -10.0, 10.0);
    if (d == 0) return;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        setOpacity(opacity_ + d * 0.02);
    else
        setZoom(zoom_ * std::pow(1.03, d));
}

void PinnedImage::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        closePin();
    } else if (event->modifiers() == Qt::ControlModifier && event->key() == Qt::Key_C) {
        copyImage();
    } else if (event->modifiers() == Qt::ControlModifier && event->key() == Qt::Key_0) {
        setZoom(1);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void PinnedImage::contextMenuEvent(QContextMenuEvent* event) {
    menu_->popup(event->globalPos());
}

void PinnedImage::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (closed_) return;
    closed_ = true;
    if (onClose) onClose();
}

}  // namespace tessal
