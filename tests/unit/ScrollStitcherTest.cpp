#include <gtest/gtest.h>

#include <QPainter>
#include <random>

#include "longcapture/ScrollStitcher.h"
#include "support/NumberedLines.h"

using namespace tessal;
using Kind = ScrollAppendResult::Kind;

namespace {

constexpr int kWidth = 320;
constexpr int kViewport = 400;

// Tall test documents, each row distinct enough to be matched.
QImage textDocument(int height, int seed = 1) {
    QImage image(kWidth, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont font;
    font.setPixelSize(14);
    p.setFont(font);
    std::mt19937 random(seed);
    for (int y = 18, line = 0; y < height; y += 21, ++line) {
        p.setPen(QColor(random() % 80, random() % 80, random() % 80));
        p.drawText(8 + random() % 20, y,
                   QStringLiteral("Line %1: the quick brown fox %2 jumps")
                       .arg(line)
                       .arg(random() % 100000));
    }
    return image;
}

QImage uiRows(int height) {
    QImage image(kWidth, height, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QFont font;
    font.setPixelSize(13);
    p.setFont(font);
    for (int y = 0, row = 0; y < height; y += 44, ++row) {
        p.fillRect(0, y, kWidth, 44, row % 2 ? QColor(246, 247, 250) : Qt::white);
        p.fillRect(10, y + 8, 28, 28, QColor::fromHsv((row * 37) % 360, 160, 220));
        p.setPen(Qt::black);
        p.drawText(50, y + 27,
                   QStringLiteral("Item %1 · detail %2").arg(row).arg(row * 7919 % 1000));
    }
    return image;
}

QImage photo(int height) {
    QImage image(kWidth, height, QImage::Format_ARGB32_Premultiplied);
    std::mt19937 random(5);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int v = int(128 + 60 * std::sin(x * 0.05 + y * 0.031) +
                              40 * std::cos(y * 0.013 - x * 0.02)) +
                          int(random() % 30);
            image.setPixel(x, y,
                           qRgb(std::clamp(v, 0, 255), std::clamp(v - 30, 0, 255),
                                std::clamp(255 - v, 0, 255)));
        }
    return image;
}

QImage sparse(int height) {
    QImage image(kWidth, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont font;
    font.setPixelSize(14);
    p.setFont(font);
    p.setPen(Qt::black);
    // Irregular spacing: evenly spaced lines would make one scroll step look like no scroll.
    for (int y = 60, k = 0; y < height; y += 110 + (k * 37) % 70, ++k)
        p.drawText(20 + (k * 13) % 40, y, QStringLiteral("Paragraph %1 begins here, alone").arg(k));
    return image;
}

// A viewport of `document` at `offset`, with optional fixed bands above and below.
QImage viewport(const QImage& document, int offset, const QImage& header = {},
                const QImage& footer = {}) {
    QImage frame(kWidth, kViewport, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&frame);
    const int top = header.isNull() ? 0 : header.height();
    const int bottom = footer.isNull() ? 0 : footer.height();
    p.drawImage(QPoint(0, top), document.copy(0, offset, kWidth, kViewport - top - bottom));
    if (!header.isNull()) p.drawImage(QPoint(0, 0), header);
    if (!footer.isNull()) p.drawImage(QPoint(0, kViewport - bottom), footer);
    return frame;
}

QImage band(int height, QColor colour, const QString& label) {
    QImage image(kWidth, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    QPainter p(&image);
    QFont font;
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(Qt::white);
    for (int x = 4; x < kWidth; x += 60) p.drawText(x, height - 8, label);
    return image;
}

bool sameRows(const QImage& a, const QImage& b) {
    return a.size() == b.size() && a.convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
                                       b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

TEST(ScrollStitcher, SequencesStitchBackToTheSourceRowForRow) {
    struct Case {
        const char* name;
        QImage document;
        std::vector<int> offsets;
    };
    const std::vector<Case> cases = {
        {"text", textDocument(3000), {0, 37, 120, 300, 301, 500, 867, 1200}},
        {"ui rows", uiRows(2600), {0, 90, 220, 400, 587, 800, 1000}},
        {"photo", photo(1800), {0, 5, 150, 360, 700, 1000, 1300}},
        {"sparse", sparse(2400), {0, 80, 200, 330, 460, 600}},
    };
    for (const Case& c : cases) {
        ScrollStitcher stitcher(viewport(c.document, 0), 24'000'000);
        for (std::size_t i = 1; i < c.offsets.size(); ++i) {
            const auto r = stitcher.append(viewport(c.document, c.offsets[i]), true);
            EXPECT_EQ(r, ScrollAppendResult::appended(c.offsets[i] - c.offsets[i - 1]))
                << c.name << " " << i;
        }
        const QImage expected = c.document.copy(0, 0, kWidth, c.offsets.back() + kViewport);
        EXPECT_TRUE(sameRows(stitcher.image(), expected)) << c.name;
    }
}

TEST(ScrollStitcher, StillFramesAreUnchangedAndOtherSizesUnmatched) {
    const QImage doc = textDocument(2000);
    ScrollStitcher stitcher(viewport(doc, 0), 24'000'000);
    EXPECT_EQ(stitcher.append(viewport(doc, 0), true), ScrollAppendResult::unchanged());
    QImage caret = viewport(doc, 0);
    QPainter(&caret).fillRect(150, 200, 2, 16, Qt::black);  // a blinking caret
    EXPECT_EQ(stitcher.append(caret, true), ScrollAppendResult::unchanged());
    EXPECT_EQ(
        stitcher.append(QImage(kWidth, kViewport + 1, QImage::Format_ARGB32_Premultiplied), true),
        ScrollAppendResult::unmatched());
    EXPECT_EQ(stitcher.height(), kViewport);
}

TEST(ScrollStitcher, TheLargestShiftMatchesAndOneRowMoreDoesNot) {
    // 400 rows: the minimum overlap is 400 / 12 = 33 rows, the largest shift 367.
    const QImage doc = textDocument(2000);
    ScrollStitcher far(viewport(doc, 0), 24'000'000);
    EXPECT_EQ(far.append(viewport(doc, 367), true), ScrollAppendResult::appended(367));
    ScrollStitcher beyond(viewport(doc, 0), 24'000'000);
    EXPECT_EQ(beyond.append(viewport(doc, 368), true).kind, Kind::unmatched);
}

TEST(ScrollStitcher, DisjointAndAmbiguousContentIsUnmatchedNeverJoinedWrongly) {
    const QImage a = textDocument(1000, 1), b = textDocument(1000, 2);
    ScrollStitcher stitcher(viewport(a, 0), 24'000'000);
    EXPECT_EQ(stitcher.append(viewport(b, 500), true), ScrollAppendResult::unmatched());

    // Identical rows every 44 pixels: several shifts match equally well.
    QImage repeated(kWidth, 2000, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&repeated);
    for (int y = 0; y < 2000; y += 44) {
        p.fillRect(0, y, kWidth, 44, Qt::white);
        p.fillRect(10, y + 8, 200, 28, QColor(60, 120, 200));
        p.fillRect(220, y + 8, 80, 28, QColor(200, 60, 60));
    }
    p.end();
    ScrollStitcher ambiguous(viewport(repeated, 0), 24'000'000);
    const auto r = ambiguous.append(viewport(repeated, 100), true);
    EXPECT_TRUE(r.kind == Kind::unmatched || r.kind == Kind::unchanged) << int(r.kind);
    EXPECT_EQ(ambiguous.height(), kViewport);
}

// Lines of numbers that differ in a digit or two: a frame of the page further on than the last
// frame reaches (the rows between never seen, as when frames are lost or the page jumps) can look
// at the signature's resolution like the last frame moved by some shift. Only the pixels tell:
// such a frame is unmatched, never joined, in either direction; a real scroll is found to the row.
TEST(ScrollStitcher, LinesThatLookAlikeJoinOnlyWhereThePageContinues) {
    struct Case {
        int cell, lineHeight;
    };
    for (const auto& [cell, lineHeight] : {Case{1, 12}, Case{2, 12}, Case{1, 20}}) {
        const QImage page = tessal::testing::numberedLines(kWidth, 240, lineHeight, cell);
        int joined = 0, tried = 0;
        // 367 rows is the largest shift that still overlaps a 400-row frame.
        for (int from = 0; from + kViewport <= page.height(); from += 251)
            for (int to = 0; to + kViewport <= page.height(); to += 233) {
                if (std::abs(to - from) <= 367) continue;
                ScrollStitcher stitcher(viewport(page, from), 24'000'000);
                const auto r = stitcher.append(viewport(page, to), true);
                ++tried;
                if (r.kind != Kind::unmatched && r.kind != Kind::unchanged) {
                    ++joined;
                    ADD_FAILURE() << "cell " << cell << ", lines " << lineHeight << ": " << from
                                  << " → " << to << " joined as " << int(r.kind) << " of " << r.rows
                                  << " rows";
                }
                if (joined > 3) return;
            }
        EXPECT_GT(tried, 60);

        const std::vector<int> offsets = {0, 60, 97, 300, 667, 701, 1000, 1367};
        ScrollStitcher stitcher(viewport(page, 0), 24'000'000);
        for (std::size_t i = 1; i < offsets.size(); ++i) {
            QImage frame = viewport(page, offsets[i]);
            // A pointer the compositor drew over rows already taken does not stop the join.
            if (offsets[i] == 300) {
                QPainter p(&frame);
                p.setPen(Qt::white);
                p.setBrush(Qt::black);
                p.drawPolygon(
                    QPolygon({QPoint(150, 20), QPoint(150, 42), QPoint(156, 37), QPoint(165, 36)}));
            }
            EXPECT_EQ(stitcher.append(frame, true),
                      ScrollAppendResult::appended(offsets[i] - offsets[i - 1]))
                << "cell " << cell << ", lines " << lineHeight << ", to " << offsets[i];
        }
        EXPECT_TRUE(sameRows(stitcher.image(), page.copy(0, 0, kWidth, 1367 + kViewport)));
    }
}

// A second shift at least 9 rows from the best counts as ambiguous while its score is within
// 0.35 of the best one. The document repeats every 200 rows, except that the second block is
// one grey level lighter in `columns` of the 31 columns the score reads and the third block in
// all of them: the shift one period away then scores columns / 31 against the true shift's 0.
// A frame caught while the window redrew shows a line twice and the next one not at all (a
// terminal under load, seen on sway). Where those rows are new, the next frame, which shows them
// again, replaces them; where they overlap rows seen before, the frame is unmatched. Either way
// the result is the page, row for row.
TEST(ScrollStitcher, AFrameCaughtMidRedrawLeavesNothingBehind) {
    constexpr int kLine = 14;
    const QImage page = tessal::testing::numberedLines(kWidth, 200, kLine, 1);
    // The frame at `offset` with its line at frame row `row` drawn again over the line below.
    auto torn = [&](int offset, int row) {
        QImage frame = viewport(page, offset);
        QPainter(&frame).drawImage(QPoint(0, row + kLine), frame.copy(0, row, kWidth, kLine));
        return frame;
    };
    for (const int tornRow : {kViewport - 3 * kLine, 100}) {
        ScrollStitcher stitcher(viewport(page, 0), 24'000'000);
        const auto first = stitcher.append(torn(42, tornRow), true);
        if (tornRow < kViewport - 42)
            EXPECT_EQ(first.kind, Kind::unmatched) << "torn over rows seen before";
        else
            EXPECT_EQ(first, ScrollAppendResult::appended(42));
        for (int offset = 84; offset <= 420; offset += 42)
            stitcher.append(viewport(page, offset), true);
        EXPECT_TRUE(sameRows(stitcher.image(), page.copy(0, 0, kWidth, 420 + kViewport)))
            << "torn at row " << tornRow << ": " << stitcher.height() << " rows";
    }
    // The last frame caught mid-redraw, then set right in place.
    ScrollStitcher stitcher(viewport(page, 0), 24'000'000);
    EXPECT_EQ(stitcher.append(torn(42, kViewport - 2 * kLine), true),
              ScrollAppendResult::appended(42));
    EXPECT_EQ(stitcher.append(viewport(page, 42), true).kind, Kind::unchanged);
    EXPECT_TRUE(sameRows(stitcher.image(), page.copy(0, 0, kWidth, 42 + kViewport)));
}

TEST(ScrollStitcher, AmbiguityMarginBoundary) {
    auto document = [](int columns) {
        QImage image(kWidth, 600, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < image.height(); ++y) {
            std::mt19937 random(unsigned(y % 200) + 1);
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < kWidth; x += 5) {
                const int v = 20 + int(random() % 200);
                for (int k = x; k < std::min(x + 5, kWidth); ++k) row[k] = qRgb(v, v, v);
            }
            const int lighter = y < 200 ? 0 : y < 400 ? columns : 31;
            // Signature column c (of 72) covers these pixels; the score reads c = 5, 7, … 65.
            for (int c = 5; c < 5 + 2 * lighter; c += 2)
                for (int x = c * kWidth / 72; x < (c + 1) * kWidth / 72; ++x) {
                    const int v = qRed(row[x]) + 1;
                    row[x] = qRgb(v, v, v);
                }
        }
        return image;
    };
    // 6 of 31 columns (0.19): within the margin, so the join is refused as ambiguous; 17 of 31
    // (0.55): beyond it, so the true shift is taken.
    for (const auto& [columns, expected] :
         {std::pair{6, Kind::unmatched}, std::pair{17, Kind::appended}}) {
        const QImage doc = document(columns);
        ScrollStitcher stitcher(viewport(doc, 0), 24'000'000);
        const auto r = stitcher.append(viewport(doc, 50), true);
        EXPECT_EQ(r.kind, expected) << columns << " columns";
        if (expected == Kind::appended) {
            EXPECT_EQ(r.rows, 50);
        }
    }
}

TEST(ScrollStitcher, FixedHeaderAndFooterAppearOnce) {
    const QImage doc = uiRows(3000);
    const QImage header = band(40, QColor(40, 60, 90), "TOOLBAR");
    auto footer = [](int n) {
        return band(30, QColor(90, 40, 60), QStringLiteral("TABS %1").arg(n));
    };
    ScrollStitcher stitcher(viewport(doc, 0, header, footer(0)), 24'000'000);
    const std::vector<int> offsets = {0, 120, 260, 390};
    for (std::size_t i = 1; i < offsets.size(); ++i) {
        // The footer text changes: it is taken from the last accepted frame.
        const auto r = stitcher.append(
            viewport(doc, offsets[i], header, i + 1 == offsets.size() ? footer(9) : footer(0)),
            true);
        EXPECT_EQ(r.kind, Kind::appended) << i;
    }
    EXPECT_EQ(stitcher.header(), 40);
    EXPECT_EQ(stitcher.footerHeight(), 30);
    const QImage result = stitcher.image();
    const int content = kViewport - 40 - 30;
    EXPECT_EQ(result.height(), 40 + offsets.back() + content + 30);
    EXPECT_TRUE(sameRows(result.copy(0, 0, kWidth, 40), header));
    EXPECT_TRUE(sameRows(result.copy(0, 40, kWidth, offsets.back() + content),
                         doc.copy(0, 0, kWidth, offsets.back() + content)));
    EXPECT_TRUE(sameRows(result.copy(0, result.height() - 30, kWidth, 30), footer(9)));
}

TEST(ScrollStitcher, AnUpwardStartReadsUpright) {
    const QImage doc = textDocument(2000);
    ScrollStitcher stitcher(viewport(doc, 600), 24'000'000);
    EXPECT_EQ(stitcher.append(viewport(doc, 450), true), ScrollAppendResult::appended(150));
    EXPECT_TRUE(stitcher.reverseDirection());
    EXPECT_EQ(stitcher.append(viewport(doc, 200), true), ScrollAppendResult::appended(250));
    EXPECT_TRUE(sameRows(stitcher.image(), doc.copy(0, 200, kWidth, 400 + kViewport)));
}

TEST(ScrollStitcher, CropBackOnlyWithAutomaticCropAndNeverBelowOneFrame) {
    const QImage doc = textDocument(3000);
    ScrollStitcher stitcher(viewport(doc, 0), 24'000'000);
    stitcher.append(viewport(doc, 300), true);
    stitcher.append(viewport(doc, 600), true);
    EXPECT_EQ(stitcher.height(), 1000);
    // Without automatic crop a backward movement is not considered.
    EXPECT_EQ(stitcher.append(viewport(doc, 500), false).kind, Kind::unmatched);
    EXPECT_EQ(stitcher.append(viewport(doc, 500), true), ScrollAppendResult::cropped(100));
    EXPECT_EQ(stitcher.height(), 900);
    EXPECT_TRUE(sameRows(stitcher.image(), doc.copy(0, 0, kWidth, 900)));
    EXPECT_EQ(stitcher.append(viewport(doc, 200), true), ScrollAppendResult::cropped(300));
    // Back to the top: exactly one frame remains, never less.
    EXPECT_EQ(stitcher.append(viewport(doc, 0), true), ScrollAppendResult::cropped(200));
    EXPECT_EQ(stitcher.height(), kViewport);
    EXPECT_EQ(stitcher.append(viewport(doc, 300), true), ScrollAppendResult::appended(300));
    EXPECT_TRUE(sameRows(stitcher.image(), doc.copy(0, 0, kWidth, 700)));
}

TEST(ScrollStitcher, SizeLimitsLeaveTheResultUnchanged) {
    const QImage doc = textDocument(3000);
    ScrollStitcher small(viewport(doc, 0), kWidth * 500);
    EXPECT_EQ(small.append(viewport(doc, 99), true), ScrollAppendResult::appended(99));
    EXPECT_EQ(small.append(viewport(doc, 200), true), ScrollAppendResult::limit());
    EXPECT_EQ(small.height(), 499);
    // A budget below one frame still takes the first frame.
    ScrollStitcher tiny(viewport(doc, 0), 10);
    EXPECT_EQ(tiny.height(), kViewport);
    EXPECT_EQ(tiny.append(viewport(doc, 50), true), ScrollAppendResult::limit());
}

TEST(ScrollStitcher, PiecesHoldOnlyNewStrips) {
    const QImage doc = textDocument(3000);
    ScrollStitcher stitcher(viewport(doc, 0), 24'000'000);
    for (int offset = 50; offset <= 1000; offset += 50)
        stitcher.append(viewport(doc, offset), true);
    EXPECT_EQ(stitcher.heldPixels(), (long long)kWidth * stitcher.height());
}

TEST(LongCaptureAxis, HorizontalCapturesStitchThroughTurns) {
    // A wide strip scrolling right: turned, it scrolls down.
    const QImage tall = textDocument(2000);
    const QImage wide = tall.transformed(QTransform().rotate(-90));
    auto frame = [&](int offset) { return wide.copy(offset, 0, kViewport, kWidth); };
    ScrollStitcher stitcher(normalizeAxis(LongCaptureAxis::horizontal, frame(0)), 24'000'000);
    EXPECT_EQ(stitcher.append(normalizeAxis(LongCaptureAxis::horizontal, frame(140)), true).kind,
              Kind::appended);
    const QImage result = restoreAxis(LongCaptureAxis::horizontal, stitcher.image());
    EXPECT_TRUE(sameRows(result, wide.copy(0, 0, 540, kWidth)));
    EXPECT_EQ(normalizeAxis(LongCaptureAxis::vertical, frame(0)), frame(0));
}

TEST(LongCaptureCrop, KeepsTheRowsBetweenTheEdges) {
    const QImage image = textDocument(100);
    // leading, trailing: the rows kept are leading … 99 − trailing, the very rows of the image.
    const std::pair<int, int> cases[] = {{10, 20}, {20, 10}, {0, 30}, {30, 0}, {99, 0}, {0, 99}};
    for (const auto& [leading, trailing] : cases) {
        const QImage kept = LongCaptureCrop{leading, trailing}.apply(image);
        EXPECT_TRUE(sameRows(kept, image.copy(0, leading, kWidth, 100 - leading - trailing)))
            << leading << " " << trailing;
    }
    auto crop = [](int leading, int trailing) { return LongCaptureCrop{leading, trailing}; };
    EXPECT_TRUE(crop(100, 0).apply(image).isNull());
    EXPECT_TRUE(crop(50, 50).apply(image).isNull());
    EXPECT_TRUE(crop(-1, 0).apply(image).isNull());
    EXPECT_TRUE(crop(0, 0).apply(QImage()).isNull());
}

TEST(ScrollStitcher, EmptyFramesAreHandled) {
    ScrollStitcher empty(QImage(), 1000);
    EXPECT_EQ(empty.append(QImage(), true).kind,
              Kind::unchanged);  // nothing is the same as nothing
    EXPECT_EQ(empty.append(textDocument(100), true).kind, Kind::unmatched);
    EXPECT_FALSE(empty.image().isNull());
    EXPECT_TRUE(reversedScrollImage(QImage()).isNull());
    const ScrollStitcher one(textDocument(400), 24'000'000);
    const QImage preview = one.image(true, 100);
    EXPECT_EQ(preview.height(), 100);
    EXPECT_LE(preview.width(), 230);
}
