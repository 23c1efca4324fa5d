#include <gtest/gtest.h>

#include <future>

#include <QPainter>

#include "base/SerialQueue.h"
#include "longcapture/LongFrameStream.h"

using namespace tessal;

namespace {

QImage frame(int w, int h, int seed) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor::fromHsv(seed * 17 % 360, 200, 200));
    return image;
}

}  // namespace

TEST(LongFrameBuffer, CountBytesAndDuplicates) {
    LongFrameBuffer buffer;
    for (int i = 0; i < 24; ++i) buffer.append({frame(10, 10, i), 1});
    EXPECT_EQ(buffer.frames.size(), 24u);
    EXPECT_FALSE(buffer.dropped);
    buffer.append({frame(10, 10, 99), 1});
    EXPECT_TRUE(buffer.dropped);
    EXPECT_EQ(buffer.frames.size(), 24u);
    ASSERT_TRUE(buffer.take());
    buffer.append({frame(10, 10, 100), 1});
    EXPECT_EQ(buffer.frames.size(), 24u);
    EXPECT_EQ(buffer.bytes, 24 * 10 * 10 * 4);

    // 64 MiB: a second large frame is refused, a lone oversized one accepted.
    buffer.reset();
    buffer.append({frame(4096, 4096, 1), 1});  // 64 MiB exactly
    EXPECT_EQ(buffer.frames.size(), 1u);
    buffer.append({frame(10, 10, 2), 1});
    EXPECT_TRUE(buffer.dropped);
    buffer.reset();
    buffer.append({frame(5000, 5000, 3), 1});  // larger than the budget, alone
    EXPECT_EQ(buffer.frames.size(), 1u);
    EXPECT_FALSE(buffer.dropped);

    // Repeats of the last accepted frame are dropped silently, per generation and size.
    buffer.reset();
    buffer.append({frame(10, 10, 5), 1});
    buffer.append({frame(10, 10, 5), 1});
    EXPECT_EQ(buffer.frames.size(), 1u);
    EXPECT_FALSE(buffer.dropped);
    buffer.append({frame(10, 10, 5), 2});
    EXPECT_EQ(buffer.frames.size(), 2u);
    buffer.append({frame(10, 11, 5), 2});
    EXPECT_EQ(buffer.frames.size(), 3u);
    // The memory of the last frame is the queued frame itself, not a copy beside it.
    ASSERT_TRUE(buffer.last);
    EXPECT_EQ(buffer.last->image.constBits(), buffer.frames.back().image.constBits());
    // A repeat of a frame already taken by the consumer is still recognised.
    while (buffer.take()) {
    }
    buffer.append({frame(10, 11, 5), 2});
    EXPECT_TRUE(buffer.frames.empty());
}

TEST(LongFrameStream, CutsTurnsAndChecksTheGeneration) {
    auto stream = LongFrameStream::create();
    QImage window(200, 100, QImage::Format_RGB32);
    window.fill(Qt::white);
    QPainter(&window).fillRect(50, 20, 40, 30, Qt::red);

    stream->enqueue(window);  // not accepting yet
    EXPECT_EQ(stream->queued(), 0u);
    stream->configure(QRect(50, 20, 40, 30), LongCaptureAxis::vertical, 1, true);
    stream->flush();
    stream->enqueue(window);
    auto taken = stream->takeFrame();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->image.size(), QSize(40, 30));
    EXPECT_EQ(QColor(taken->image.pixel(5, 5)), QColor(Qt::red));
    EXPECT_EQ(taken->generation, 1);

    // A horizontal capture arrives turned to the vertical axis.
    stream->configure(QRect(50, 20, 40, 30), LongCaptureAxis::horizontal, 2, true);
    stream->flush();
    stream->enqueue(window);
    taken = stream->takeFrame();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->image.size(), QSize(30, 40));

    // A new region empties what was queued for the old one.
    stream->enqueue(window);
    stream->configure(QRect(0, 0, 10, 10), LongCaptureAxis::vertical, 3, true);
    stream->flush();
    EXPECT_EQ(stream->queued(), 0u);

    // A region outside the window image is the conversion error, once.
    EXPECT_FALSE(stream->failure());
    stream->configure(QRect(150, 50, 100, 100), LongCaptureAxis::vertical, 4, true);
    stream->flush();
    stream->enqueue(window);
    ASSERT_TRUE(stream->failure());
    EXPECT_EQ(*stream->failure(), LongFrameStream::conversionError());
    EXPECT_EQ(stream->failure()->message, "无法转换滚动区域的视频帧，请重新选择区域。");
    EXPECT_EQ(stream->queued(), 0u);
    stream->stop();
    stream->enqueue(window);
    EXPECT_EQ(stream->queued(), 0u);
}

TEST(LongFrameStream, APauseKeepsTheFramesHandedOverBeforeIt) {
    auto stream = LongFrameStream::create();
    SerialQueue& frames = SerialQueue::named("local.zelmar.long-capture.frames");
    auto picture = [](Qt::GlobalColor colour) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    };
    const QRect region(0, 0, 40, 30);
    stream->configure(region, LongCaptureAxis::vertical, 1, true);
    frames.flush();
    // Handed over, then paused, then handed over again, all while the queue is busy: the first
    // is kept, the second is not.
    std::promise<void> busy;
    frames.async([until = busy.get_future().share()] { until.wait(); });
    frames.async([&] { stream->enqueue(picture(Qt::red)); });
    stream->configure(region, LongCaptureAxis::vertical, 1, false);
    frames.async([&] { stream->enqueue(picture(Qt::green)); });
    busy.set_value();
    stream->flush();
    ASSERT_EQ(stream->queued(), 1u);
    EXPECT_EQ(QColor(stream->takeFrame()->image.pixel(0, 0)), QColor(Qt::red));

    // Resumed before the queue reached the pause: the pause is over, frames are taken.
    std::promise<void> gate;
    frames.async([until = gate.get_future().share()] { until.wait(); });
    stream->configure(region, LongCaptureAxis::vertical, 1, true);
    stream->configure(region, LongCaptureAxis::vertical, 1, false);
    stream->configure(region, LongCaptureAxis::vertical, 1, true);
    gate.set_value();
    stream->flush();
    while (stream->takeFrame()) {
    }
    stream->enqueue(picture(Qt::blue));
    EXPECT_EQ(stream->queued(), 1u);
    // A new region while paused takes nothing, at once.
    stream->configure(QRect(0, 0, 20, 20), LongCaptureAxis::vertical, 2, false);
    stream->enqueue(picture(Qt::red));
    EXPECT_EQ(stream->queued(), 0u);
    stream->stop();
}
