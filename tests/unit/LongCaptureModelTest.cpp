#include <gtest/gtest.h>

#include "longcapture/LongCaptureFeedback.h"
#include "longcapture/LongCaptureLayout.h"

using namespace tessal;

TEST(LongCaptureFeedback, MessagesAndCounts) {
    LongCaptureFeedback f;
    auto o = f.record(ScrollAppendResult::appended(40));
    EXPECT_EQ(o.message, "已拼接。继续滚动，或直接复制、保存。");
    EXPECT_EQ(f.segments, 2);
    // Unchanged frames say nothing until the fourth in a row.
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(f.record(ScrollAppendResult::unchanged()).message);
    EXPECT_EQ(f.record(ScrollAppendResult::unchanged()).message,
              "画面未变化；若已到底，可直接复制或保存。");
    EXPECT_EQ(f.unchanged, 4);
    // After an unmatched frame, an unchanged one means the match is back.
    EXPECT_TRUE(f.record(ScrollAppendResult::unmatched()).message->startsWith("尚未匹配"));
    EXPECT_EQ(f.unchanged, 0);
    EXPECT_EQ(f.unmatched, 1);
    EXPECT_EQ(f.record(ScrollAppendResult::unchanged()).message, "已回到匹配位置，可继续滚动。");
    EXPECT_EQ(f.unmatched, 0);
    EXPECT_EQ(f.record(ScrollAppendResult::cropped(10)).message, "已按回滚位置裁剪，可继续滚动。");
    EXPECT_EQ(f.segments, 2);
    o = f.record(ScrollAppendResult::limit());
    EXPECT_EQ(o.message, "已达到长度上限，已有内容保留，可复制或保存。");
    EXPECT_TRUE(o.pause);
}

TEST(LongCaptureLayout, BelowRightAlignedPreviewToTheRight) {
    const Rect screen(0, 0, 1440, 900);
    const auto p = longCaptureLayout(Rect(300, 300, 400, 300), screen, {600, 100}, {184, 300});
    EXPECT_EQ(p.toolbar, Rect(100, 192, 600, 100));
    EXPECT_EQ(p.preview, Rect(712, 300, 184, 300));

    // Near the bottom: above the region; too tall for both: beside it, level with its bottom,
    // left where it fits, else right; too wide for that too: at the bottom of the visible area.
    EXPECT_EQ(longCaptureLayout(Rect(300, 50, 400, 300), screen, {600, 100}, {184, 300}).toolbar,
              Rect(100, 358, 600, 100));
    EXPECT_EQ(longCaptureLayout(Rect(810, 20, 460, 870), screen, {600, 100}, {184, 300}).toolbar,
              Rect(202, 20, 600, 100));
    EXPECT_EQ(longCaptureLayout(Rect(300, 50, 400, 800), screen, {600, 100}, {184, 300}).toolbar,
              Rect(708, 50, 600, 100));
    EXPECT_EQ(longCaptureLayout(Rect(300, 50, 800, 800), screen, {600, 100}, {184, 300}).toolbar,
              Rect(500, 8, 600, 100));
    // Near the right edge: the preview goes left; neither side fits: at the right edge.
    EXPECT_EQ(longCaptureLayout(Rect(1000, 300, 400, 300), screen, {600, 100}, {184, 300}).preview,
              Rect(804, 300, 184, 300));
    EXPECT_EQ(longCaptureLayout(Rect(100, 300, 1240, 300), screen, {600, 100}, {184, 300}).preview,
              Rect(1248, 300, 184, 300));
    // The control window stays inside on the left.
    EXPECT_EQ(
        longCaptureLayout(Rect(20, 300, 100, 300), screen, {600, 100}, {184, 300}).toolbar.minX(),
        8);
}
