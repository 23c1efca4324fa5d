#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QWheelEvent>
#include <cmath>

#include "platform/fake/FakePlatform.h"
#include "tools/PinGeometry.h"
#include "tools/PinnedImage.h"

using namespace tessal;

namespace {

QByteArray png(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

EncodedImage pinImage(int w, int h) {
    const QByteArray bytes = png(w, h);
    return {bytes, QImage::fromData(bytes)};
}

void wheel(QWidget* w, int angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent event(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, angle),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

}  // namespace

TEST(PinGeometry, ZoomBoundsAndTheVisibleClamp) {
    const Size original{200, 100};
    EXPECT_DOUBLE_EQ(*PinGeometry::zoom(10, original), 4);
    EXPECT_DOUBLE_EQ(*PinGeometry::zoom(0.01, original), 0.32);  // shorter side 32 points
    EXPECT_DOUBLE_EQ(*PinGeometry::zoom(0.01, {1000, 1000}), 0.1);
    EXPECT_FALSE(PinGeometry::zoom(std::nan(""), original));
    // Zooming keeps the centre, and at least 32 points on the visible area.
    EXPECT_EQ(PinGeometry::zoomedFrame(Rect(100, 100, 200, 100), original, 2, std::nullopt),
              Rect(0, 50, 400, 200));
    // A pin pushed past the right and bottom edges keeps 32 points on screen.
    EXPECT_EQ(
        PinGeometry::zoomedFrame(Rect(1600, -300, 200, 100), original, 1, Rect(0, 0, 1440, 900)),
        Rect(1408, -68, 200, 100));
    EXPECT_DOUBLE_EQ(*PinGeometry::opacity(0.1), 0.2);
    EXPECT_EQ(PinGeometry::sliderValue(0.65), 35);
}

TEST(PinnedImage, WheelZoomOpacityMenuAndCopy) {
    FakePasteboard pasteboard;
    const EncodedImage bytes = pinImage(400, 200);
    EXPECT_EQ(PinnedImage::create({"junk", QImage()}, Rect(0, 0, 10, 10), pasteboard), nullptr);
    EXPECT_EQ(PinnedImage::create(bytes, Rect(0, 0, 0, 10), pasteboard), nullptr);
    auto pin = PinnedImage::create(bytes, Rect(100, 100, 200, 100), pasteboard);
    ASSERT_NE(pin, nullptr);
    pin->showWindow();
    EXPECT_EQ(pin->size(), QSize(200, 100) + 2 * QSize(pin->margin(), pin->margin()));
    EXPECT_EQ(pin->globalFrame(), Rect(100, 100, 200, 100));

    wheel(pin.get(), 1200);  // ten notches at once
    EXPECT_NEAR(pin->zoom(), std::pow(1.03, 10), 1e-9);
    for (int i = 0; i < 40; ++i) wheel(pin.get(), 1200);
    EXPECT_DOUBLE_EQ(pin->zoom(), 4);
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(5, 5), pin->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pin.get(), &twice);
    EXPECT_DOUBLE_EQ(pin->zoom(), 1);

    // Control-wheel down: 0.02 per notch unit, never below 0.2.
    for (int i = 0; i < 35; ++i) wheel(pin.get(), -120, Qt::ControlModifier);
    EXPECT_NEAR(pin->opacity(), 0.3, 0.01);
    pin->setOpacity(0.65);
    EXPECT_EQ(pin->transparencySlider()->value(), 35);
    EXPECT_EQ(pin->transparencyLabel()->text(), "35%");
    pin->transparencySlider()->setValue(80);
    EXPECT_NEAR(pin->opacity(), 0.2, 0.01);
    EXPECT_NEAR(pin->windowOpacity(), 0.2, 0.01);
    EXPECT_EQ(pin->transparencyLabel()->text(), "80%");

    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(pin.get(), &copy);
    EXPECT_EQ(pasteboard.png, bytes.png);  // the pinned bytes, whatever the zoom
    QStringList items;
    for (QAction* a : pin->contextMenu()->actions())
        if (!a->text().isEmpty()) items << a->text();
    EXPECT_EQ(items, (QStringList{"复制", "关闭贴图", "恢复原始大小", "恢复不透明"}));
}

TEST(PinnedImage, EscapeClosesOnlyItsOwnPinOnce) {
    FakePasteboard pasteboard;
    auto first = PinnedImage::create(pinImage(20, 20), Rect(0, 0, 50, 50), pasteboard);
    auto second = PinnedImage::create(pinImage(20, 20), Rect(100, 0, 50, 50), pasteboard);
    int closedFirst = 0, closedSecond = 0;
    first->onClose = [&] { ++closedFirst; };
    second->onClose = [&] { ++closedSecond; };
    first->showWindow();
    second->showWindow();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(first.get(), &escape);
    EXPECT_EQ(closedFirst, 1);
    EXPECT_EQ(closedSecond, 0);
    EXPECT_TRUE(second->isVisible());
    first->closePin();
    EXPECT_EQ(closedFirst, 1);
    first->showWindow();
    EXPECT_FALSE(first->isVisible());
}

namespace {

QImage pattern(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, 200));
    return image;
}

QByteArray encoded(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

TEST(PinnedImage, AFrameSurroundsTheImageAndStaysOutOfItsCopy) {
    for (const bool composited : {true, false}) {
        SCOPED_TRACE(composited ? "with a compositor" : "without a compositor");
        FakePasteboard pasteboard;
        const QImage image = pattern(60, 40);
        const QByteArray bytes = encoded(image);
        auto pin =
            PinnedImage::create({bytes, image}, Rect(300, 200, 60, 40), pasteboard, composited);
        ASSERT_NE(pin, nullptr);
        pin->showWindow();
        const int m = pin->margin();
        EXPECT_EQ(m, composited ? 1 + PinnedImage::shadowWidth : 1);
        EXPECT_EQ(pin->globalFrame(), Rect(300, 200, 60, 40));

        QImage shown = pin->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), QSize(60 + 2 * m, 40 + 2 * m));
        // The image is shown whole, pixel for pixel, inside a line of another colour.
        EXPECT_EQ(shown.copy(m, m, 60, 40), image);
        for (const QPoint p : {QPoint(m - 1, m + 5), QPoint(m + 5, m - 1), QPoint(m + 60, m + 20),
                               QPoint(m + 30, m + 40)})
            EXPECT_EQ(shown.pixel(p), qRgb(0x80, 0x80, 0x80)) << p.x() << "," << p.y();

        pin->copyImage();
        EXPECT_EQ(pasteboard.png, bytes);
        EXPECT_EQ(QImage::fromData(pasteboard.png).convertToFormat(QImage::Format_RGB32), image);
    }
}

TEST(PinnedImage, WithoutACompositorOpacityIsOffAndSaysWhy) {
    FakePasteboard pasteboard;
    auto pin = PinnedImage::create(pinImage(40, 40), Rect(0, 0, 40, 40), pasteboard, false);
    pin->showWindow();
    wheel(pin.get(), -1200, Qt::ControlModifier);
    pin->setOpacity(0.5);
    EXPECT_DOUBLE_EQ(pin->opacity(), 1);
    EXPECT_DOUBLE_EQ(pin->windowOpacity(), 1);
    EXPECT_FALSE(pin->transparencySlider()->isEnabled());
    QStringList labels;
    for (QLabel* label : pin->transparencySlider()->parentWidget()->findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains("透明度 · 需要窗口合成器")) << labels.join('|').toStdString();
    for (QAction* a : pin->contextMenu()->actions()) {
        if (a->text() == "恢复不透明") {
            EXPECT_FALSE(a->isEnabled());
        }
    }
}
