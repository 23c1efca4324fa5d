#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "imaging/TextDetection.h"

#include <QHash>

using namespace tessal;

TEST(TextDetection, BoxesFromTheProbabilityMap) {
    // A 64 × 32 map (the image is twice as large): one confident word, one faint blot, one
    // speck too small to be text.
    std::vector<float> map(64 * 32, 0.0f);
    auto fill = [&](int x0, int y0, int w, int h, float p) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) map[std::size_t(y) * 64 + x] = p;
    };
    fill(10, 10, 20, 6, 0.9f);  // text
    fill(40, 20, 10, 6, 0.4f);  // over the threshold, but not sure enough to be text
    fill(50, 2, 2, 2, 0.95f);   // too small
    const std::vector<QRect> found = TextDetection::boxes(map.data(), 64, 32, QSize(128, 64));
    ASSERT_EQ(found.size(), 1u);
    // Grown by area × 1.5 / perimeter = 120 × 1.5 / 52 ≈ 3.46 on every side, then doubled.
    EXPECT_EQ(found[0], QRect(13, 13, 54, 26));
}

TEST(TextDetection, DecodingJoiningAndMargins) {
    // Steps: a, a, blank, a, b, b → "aab" (a repeat after a blank counts again).
    const QStringList keys{"a", "b"};
    const float p[] = {0.1f, 0.8f, 0.1f, 0.1f, 0.9f, 0.0f, 0.9f, 0.05f, 0.05f,
                       0.2f, 0.7f, 0.1f, 0.1f, 0.1f, 0.8f, 0.0f, 0.1f,  0.9f};
    double least = 0;
    EXPECT_EQ(TextDetection::decode(p, 6, 3, keys, &least), "aab");
    EXPECT_FLOAT_EQ(least, 0.7f);

    QImage image(50, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    EXPECT_TRUE(TextDetection::contentRect(image).isEmpty());
    image.setPixel(20, 5, qRgb(0, 0, 0));
    image.setPixel(30, 33, qRgb(0, 0, 0));
    EXPECT_EQ(TextDetection::contentRect(image), QRect(QPoint(20, 5), QPoint(30, 33)));
}

// "Same row" is not transitive: in a staircase each box shares a row with its neighbours but
// not with the one after. Rows are formed first (each begun by its topmost box), then each is
// ordered left to right; the result does not depend on how a sort copes with a cycle.
TEST(TextDetection, BoxesInAStaircaseFormRowsBeforeTheyAreOrdered) {
    constexpr int w = 400, h = 120;
    std::vector<float> map(std::size_t(w) * h, 0.0f);
    // Box i: 20 × 6 at (300 − 25 i, 10 + 4 i); grown to 14 rows, so a row takes the next box
    // (4 rows lower) and not the one after (8 rows lower).
    for (int i = 0; i < 10; ++i)
        for (int y = 10 + 4 * i; y < 16 + 4 * i; ++y)
            for (int x = 300 - 25 * i; x < 320 - 25 * i; ++x) map[std::size_t(y) * w + x] = 0.9f;
    const std::vector<QRect> found = TextDetection::boxes(map.data(), w, h, QSize(w, h));
    ASSERT_EQ(found.size(), 10u);
    std::vector<int> order;
    for (const QRect& box : found) order.push_back((300 - (box.x() + 4)) / 25);
    EXPECT_EQ(order, (std::vector<int>{1, 0, 3, 2, 5, 4, 7, 6, 9, 8}));
}

// The second reader gets dark text on a light ground with a margin in the ground's colour.
TEST(TextDetection, SecondReaderInputIsDarkOnLightWithAMargin) {
    struct Case {
        QColor ground, ink;
        int height;
        int margin;  // half the height, at least 10 px
    };
    const Case cases[] = {{Qt::white, Qt::black, 20, 10},
                          {QColor(20, 20, 30), QColor(240, 240, 240), 20, 10},  // inverted
                          {QColor(200, 210, 220), QColor(10, 10, 10), 30, 15},
                          {Qt::white, Qt::black, 12, 10}};
    for (const Case& c : cases) {
        QImage line(60, c.height, QImage::Format_RGB32);
        line.fill(c.ground);
        QPainter(&line).fillRect(10, 5, 30, c.height - 10, c.ink);
        const QImage input = TextDetection::secondReaderInput(line);
        const int margin = c.margin;
        ASSERT_EQ(input.size(), QSize(60 + 2 * margin, c.height + 2 * margin)) << c.height;
        EXPECT_EQ(input.format(), QImage::Format_Grayscale8);
        const int ground = qGray(input.pixel(0, 0)),
                  ink = qGray(input.pixel(margin + 20, margin + c.height / 2));
        EXPECT_GT(ground, 190) << c.height;
        EXPECT_LT(ink, 60) << c.height;
        // The line itself sits inside the margin: its ground right after the margin.
        EXPECT_EQ(qGray(input.pixel(margin + 2, margin + 2)), ground);
    }
    EXPECT_TRUE(TextDetection::secondReaderInput(QImage()).isNull());
}

namespace {

// A line drawn as ink columns: each glyph `ink` columns of ink with `after` blank columns after
// it, seen by the reader at its middle.
struct Drawn {
    QString text;
    int ink;
    int after;
};
struct Line {
    std::vector<TextDetection::Glyph> glyphs;
    std::vector<int> ink;
};
Line draw(const std::vector<Drawn>& glyphs, int lead = 4) {
    Line line;
    line.ink.assign(std::size_t(lead), 0);
    for (const Drawn& d : glyphs) {
        line.glyphs.push_back({d.text, line.ink.size() + d.ink / 2.0});
        line.ink.insert(line.ink.end(), std::size_t(d.ink), 5);
        line.ink.insert(line.ink.end(), std::size_t(d.after), 0);
    }
    return line;
}
// Letters of `word` 6 columns wide, 1 apart; `space` blank columns after the last one.
std::vector<Drawn> word(const QString& text, int space, int ink = 6, int apart = 1) {
    std::vector<Drawn> out;
    for (QChar c : text) out.push_back({QString(c), ink, apart});
    out.back().after = space;
    return out;
}
std::vector<Drawn> operator+(std::vector<Drawn> a, const std::vector<Drawn>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

// The reader's own spaces are kept, once; the image adds one where it shows a word space between
// Latin letters or digits, however many cells; letters' own gaps, narrow letters' in a
// monospaced face included, and gaps between CJK characters add none.
TEST(TextDetection, SpacesAreTheGapsTheImageShows) {
    const std::vector<Drawn> space{{" ", 0, 0}};
    struct Case {
        const char* name;
        std::vector<Drawn> glyphs;
        int height;
        QString expected;
    };
    const Case cases[] = {
        {"two words a cell apart", word("Application", 10) + word("Class", 0), 24,
         "Application Class"},
        {"letters 3 apart stay one word", word("separate", 0, 6, 3), 24, "separate"},
        {"narrow letters in a monospaced cell", word("f", 6, 4) + word("i", 6, 2) + word("les", 0),
         20, "files"},
        {"two cells between numbers", word("Sep", 9) + word("20", 17) + word("2022", 0), 18,
         "Sep 20 2022"},
        {"one cell between numbers", word("Nov", 9) + word("22", 9) + word("2021", 0), 18,
         "Nov 22 2021"},
        {"CJK takes no spaces", word("消息", 12, 12, 2) + word("正文", 0, 12, 2), 24, "消息正文"},
        {"CJK beside Latin", word("版本", 10, 12, 2) + word("2.1", 0), 24, "版本 2.1"},
        {"the reader's space once", word("Save", 12) + space + word("as", 0), 24, "Save as"},
        {"the reader's space, a narrow gap", word("Save", 3) + space + word("as", 0), 24,
         "Save as"},
        {"no space at the ends", space + word("OK", 6) + space, 24, "OK"},
    };
    for (const Case& c : cases) {
        const Line line = draw(c.glyphs);
        EXPECT_EQ(TextDetection::spelled(line.glyphs, line.ink, c.height), c.expected) << c.name;
    }
}

// The reader gives Chinese forms for ASCII marks ("main．你的" where a terminal shows "main.
// 你的"): where the line shows they are ASCII they are read so, and the space after them the image
// shows is kept; Chinese sentences keep their marks, beside Latin words too.
TEST(TextDetection, PunctuationIsAsciiWhereTheLineShowsIt) {
    auto mark = [](char16_t c, int after) {
        return std::vector<Drawn>{{QString(QChar(c)), 3, after}};
    };
    auto cjk = [](const QString& text, int after = 0) { return word(text, after, 12, 2); };
    struct Case {
        const char* name;
        std::vector<Drawn> glyphs;
        QString expected;
    };
    const Case cases[] = {
        {"a line without Chinese", word("Note", 1) + mark(0xFF1A, 9) + word("see", 0), "Note: see"},
        {"full stop after a Latin word", word("main", 1) + mark(0xFF0E, 12) + cjk("你的"),
         "main. 你的"},
        {"apostrophe within a word",
         cjk("他说", 9) + word("don", 1) + mark(0x2019, 1) + word("t", 0), "他说 don't"},
        {"a time", cjk("开始", 9) + word("10", 1) + mark(0xFF1A, 1) + word("15", 0), "开始 10:15"},
        {"single quotes around Latin text",
         cjk("指令", 9) + mark(0x2018, 1) + word("python", 1) + mark(0x2019, 2) + cjk("吗"),
         "指令 'python'吗"},
        {"colon after a Latin word", word("Wi-Fi", 1) + mark(0xFF1A, 2) + cjk("已连接"),
         "Wi-Fi：已连接"},
        {"comma between Latin words",
         cjk("支持", 9) + word("Windows", 1) + mark(0xFF0C, 1) + word("macOS", 0),
         "支持 Windows，macOS"},
        {"brackets around a Latin word",
         cjk("人工智能", 2) + mark(0xFF08, 1) + word("AI", 1) + mark(0xFF09, 0), "人工智能（AI）"},
        {"double quotes around a Latin word",
         cjk("点击", 2) + mark(0x201C, 1) + word("OK", 1) + mark(0x201D, 2) + cjk("按钮"),
         "点击“OK”按钮"},
        {"semicolon after a unit",
         cjk("上限", 9) + word("200", 9) + word("MB", 1) + mark(0xFF1B, 2) + cjk("关闭"),
         "上限 200 MB；关闭"},
        {"numbering", word("1", 1) + mark(0xFF0E, 2) + cjk("引言"), "1．引言"},
    };
    for (const Case& c : cases) {
        const Line line = draw(c.glyphs);
        EXPECT_EQ(TextDetection::spelled(line.glyphs, line.ink, 24), c.expected) << c.name;
    }
}

// A line too wide for the reader is read in pieces that cover it without overlap, each within
// the reader's width, each cut through blank columns only when the line has them; the glyphs
// read piece by piece spell the line with no character lost or doubled and the spaces kept.
TEST(TextDetection, WideLinesAreReadInPiecesCutAtGaps) {
    struct Case {
        const char* name;
        std::vector<Drawn> glyphs;
        int height;
        int maximumWidth;
        QString expected;
    };
    std::vector<Drawn> english, chinese, dense;
    QString englishText, chineseText, denseText;
    for (int i = 0; i < 60; ++i) {
        const QString w = QStringLiteral("word%1").arg(i);
        english = english + word(w, 0) + std::vector<Drawn>{{" ", 0, 5}};
        englishText += (i ? " " : "") + w;
        const QString c = QString(QChar(0x4E00 + i)) + QChar(0x4E80 + i);
        chinese = chinese + word(c, 2, 14, 2);
        chineseText += c;
        dense = dense + word(QStringLiteral("ab"), 0, 6, 0);
        denseText += QStringLiteral("ab");
    }
    const Case cases[] = {
        {"English, 16 px high", english, 16, 480, englishText},
        {"English, 24 px high", english, 24, 320, englishText},
        {"Chinese, 2 px between characters", chinese, 20, 320, chineseText},
        {"fits: one piece", word("short", 0), 20, 1600, "short"},
        {"no blank column at all", dense, 20, 160, denseText},
    };
    for (const Case& c : cases) {
        const Line line = draw(c.glyphs);
        const std::vector<TextDetection::Span> spans =
            TextDetection::spans(line.ink, c.height, c.maximumWidth);
        ASSERT_FALSE(spans.empty()) << c.name;
        const bool hasBlank = std::count(line.ink.begin() + 4, line.ink.end() - 1, 0) > 0;
        EXPECT_EQ(spans.front().left, 0) << c.name;
        EXPECT_EQ(spans.back().right, int(line.ink.size())) << c.name;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            // The reader takes the piece at 48 rows, its width in proportion: never squeezed.
            const int w = spans[i].right - spans[i].left;
            EXPECT_EQ(TextDetection::readerWidth(QSize(w, c.height), c.maximumWidth),
                      std::max(8, int(std::ceil(48.0 * w / c.height))))
                << c.name << " piece " << i;
            if (i + 1 < spans.size()) {
                EXPECT_EQ(spans[i].right, spans[i + 1].left) << c.name;
                if (hasBlank) {
                    EXPECT_EQ(line.ink[std::size_t(spans[i].right - 1)], 0)
                        << c.name << ": cut through ink at " << spans[i].right - 1;
                }
            }
        }
        if (c.maximumWidth < 1600) {
            EXPECT_GT(spans.size(), 2u) << c.name;
        }
        // Each piece read alone: the glyphs inside it, placed back on the line; a space in the
        // blank run a cut goes through is seen by neither piece.
        auto cutInBlankAround = [&](double x) {
            int from = int(x), to = int(x);
            while (from > 0 && line.ink[std::size_t(from - 1)] == 0) --from;
            while (to < int(line.ink.size()) && line.ink[std::size_t(to)] == 0) ++to;
            return std::any_of(spans.begin(), spans.end() - 1, [&](const TextDetection::Span& s) {
                return s.right >= from && s.right <= to;
            });
        };
        std::vector<TextDetection::Glyph> read;
        for (const TextDetection::Span& s : spans)
            for (const TextDetection::Glyph& g : line.glyphs)
                if (g.x >= s.left && g.x < s.right && !(g.text == " " && cutInBlankAround(g.x)))
                    read.push_back(g);
        EXPECT_EQ(TextDetection::spelled(read, line.ink, c.height, spans), c.expected) << c.name;
    }

    // A line of any width is read in a bounded number of pieces, and its text says that what
    // lies beyond them was not read; a line 20,000 px wide and 10 px high is read whole.
    struct Wide {
        int width;
        int height;
        bool whole;
    };
    for (const Wide& w :
         {Wide{20'000, 10, true}, Wide{20'000, 16, true}, Wide{200'000, 16, false}}) {
        std::vector<int> ink(std::size_t(w.width), 0);
        for (int x = 0; x < w.width; x += 10) ink[std::size_t(x)] = 3;
        const std::vector<TextDetection::Span> pieces = TextDetection::spans(ink, w.height);
        ASSERT_FALSE(pieces.empty());
        EXPECT_EQ(pieces.back().right == w.width, w.whole) << w.width << " × " << w.height;
        EXPECT_LE(pieces.size(), 64u);
        const std::vector<TextDetection::Glyph> glyphs = {{"a", 1}, {"b", 11}};
        EXPECT_EQ(TextDetection::spelled(glyphs, ink, w.height, pieces),
                  w.whole ? QString("ab") : QString("ab…"))
            << w.width << " × " << w.height;
    }
    EXPECT_TRUE(TextDetection::spans({}, 16).empty());
}

// A wide image is detected in overlapping tiles at its own scale; a line cut by a seam, or seen
// twice in an overlap, is one box, and rows stay apart.
// A terminal's small rows come from the detector as pieces of a line grown into each other and
// into the next row: each line is one box, ending where the blank between the rows is.
TEST(TextDetection, BoxesOfCloseSetLinesAreTidied) {
    QImage page(240, 80, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter paint(&page);
    paint.fillRect(QRect(5, 10, 230, 10), Qt::black);   // row one: y 10–19
    paint.fillRect(QRect(5, 24, 230, 10), Qt::black);   // row two: y 24–33
    paint.fillRect(QRect(5, 50, 100, 10), Qt::black);   // a message …
    paint.fillRect(QRect(160, 50, 40, 10), Qt::black);  // … and its time, apart
    paint.end();
    const std::vector<QRect> boxes = TextDetection::tidiedBoxes(
        {QRect(2, 6, 60, 18), QRect(50, 7, 150, 17), QRect(190, 6, 48, 18), QRect(2, 20, 236, 18),
         QRect(2, 46, 106, 18), QRect(156, 46, 48, 18)},
        page);
    const std::vector<QRect> expected{QRect(QPoint(2, 6), QPoint(237, 22)),
                                      QRect(QPoint(2, 22), QPoint(237, 37)), QRect(2, 46, 106, 18),
                                      QRect(156, 46, 48, 18)};
    EXPECT_EQ(boxes, expected);
}

TEST(TextDetection, WideImagesAreDetectedInTilesWhoseBoxesAreJoined) {
    using Spans = std::vector<std::pair<int, int>>;
    const auto pairs = [](const std::vector<TextDetection::Span>& spans) {
        Spans out;
        for (const auto& s : spans) out.emplace_back(s.left, s.right);
        return out;
    };
    EXPECT_EQ(pairs(TextDetection::detectionTiles(3000)), (Spans{{0, 3000}}));
    EXPECT_EQ(pairs(TextDetection::detectionTiles(4096)), (Spans{{0, 4096}}));
    EXPECT_EQ(pairs(TextDetection::detectionTiles(10'000)),
              (Spans{{0, 4096}, {3840, 7936}, {7680, 10'000}}));
    EXPECT_TRUE(TextDetection::detectionTiles(0).empty());

    struct Case {
        const char* name;
        std::vector<std::vector<QRect>> tiles;
        std::vector<QRect> expected;
    };
    const Case cases[] = {
        {"a line cut by the seam",
         {{QRect(100, 20, 3900, 18)}, {QRect(3850, 21, 3000, 17)}},
         {QRect(100, 20, 6750, 18)}},
        {"a word inside the overlap, seen by both tiles",
         {{QRect(3900, 20, 100, 18)}, {QRect(3901, 20, 99, 18)}},
         {QRect(3900, 20, 100, 18)}},
        {"two rows meeting the seam stay apart",
         {{QRect(100, 20, 3900, 18), QRect(100, 50, 3900, 18)},
          {QRect(3850, 50, 400, 18), QRect(3850, 20, 400, 18)}},
         {QRect(100, 20, 4150, 18), QRect(100, 50, 4150, 18)}},
        {"boxes of one tile are never joined",
         {{QRect(10, 20, 50, 18), QRect(55, 20, 50, 18)}},
         {QRect(10, 20, 50, 18), QRect(55, 20, 50, 18)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextDetection::unitedBoxes(c.tiles), c.expected) << c.name;
}

// The ink of a line image, light on dark or dark on light: blank columns between the strokes.
TEST(TextDetection, InkColumnsFindTheBlankColumns) {
    for (const bool dark : {false, true}) {
        QImage line(40, 20, QImage::Format_RGB32);
        line.fill(dark ? QColor(30, 32, 36) : QColor(250, 250, 250));
        QPainter p(&line);
        p.fillRect(5, 4, 10, 12, dark ? QColor(220, 220, 220) : QColor(20, 20, 20));
        p.fillRect(20, 4, 3, 12, QColor(128, 128, 128));  // half-tone still ink
        // A faint smudge (anti-aliasing, a texture) within 48 levels of the ground is not ink.
        p.fillRect(30, 4, 2, 12, dark ? QColor(60, 62, 66) : QColor(215, 215, 215));
        p.end();
        const std::vector<int> ink = TextDetection::inkColumns(line);
        ASSERT_EQ(ink.size(), 40u);
        EXPECT_EQ(ink[4], 0) << dark;
        EXPECT_EQ(ink[5], 12) << dark;
        EXPECT_EQ(ink[15], 0) << dark;
        EXPECT_EQ(ink[21], 12) << dark;
        EXPECT_EQ(ink[30], 0) << dark;
    }
}

// Reading order: rows by vertical overlap, left to right; a blank band through three or more
// rows is a column boundary, read column by column.
TEST(TextDetection, RowsAndColumnsInReadingOrder) {
    using P = TextDetection::Piece;
    struct Case {
        const char* name;
        std::vector<P> pieces;
        QStringList expected;
    };
    const Case cases[] = {
        {"a message and its time, a little higher and shorter, far to the right",
         {{"21:03", QRect(900, 101, 40, 16)},
          {"消息正文", QRect(60, 100, 120, 22)},
          {"张三", QRect(60, 70, 40, 22)}},
         {"张三", "消息正文 21:03"}},
        {"a list: name and time, then a preview across the width, three times",
         {{"张三", QRect(60, 10, 40, 20)},
          {"09:12", QRect(700, 11, 40, 17)},
          {"在吗？今天下午开会的材料请再发一份给我，谢谢", QRect(60, 36, 620, 20)},
          {"李四", QRect(60, 70, 40, 20)},
          {"10:40", QRect(700, 71, 40, 17)},
          {"好的，收到了，我晚些时候再看一下这份文件的内容", QRect(60, 96, 660, 20)},
          {"王五", QRect(60, 130, 40, 20)},
          {"11:05", QRect(700, 131, 40, 17)}},
         {"张三 09:12", "在吗？今天下午开会的材料请再发一份给我，谢谢", "李四 10:40",
          "好的，收到了，我晚些时候再看一下这份文件的内容", "王五 11:05"}},
        {"a form: labels left, fields right",
         {{"用户名", QRect(20, 10, 60, 20)},
          {"zhang.san", QRect(110, 10, 90, 20)},
          {"密码", QRect(40, 40, 40, 20)},
          {"********", QRect(110, 40, 80, 20)},
          {"电子邮件", QRect(0, 70, 80, 20)},
          {"a@b.cn", QRect(110, 70, 70, 20)}},
         {"用户名 zhang.san", "密码 ********", "电子邮件 a@b.cn"}},
        {"two panes side by side, rows aligned",
         {{"left one", QRect(10, 10, 300, 20)},
          {"right one", QRect(700, 10, 280, 20)},
          {"left two", QRect(10, 40, 380, 20)},
          {"right two", QRect(700, 40, 200, 20)},
          {"left three", QRect(10, 70, 250, 20)},
          {"right three", QRect(700, 70, 260, 20)}},
         {"left one", "left two", "left three", "right one", "right two", "right three"}},
        {"two panes side by side, rows not aligned",
         {{"L1", QRect(10, 10, 300, 20)},
          {"R1", QRect(700, 26, 280, 16)},
          {"L2", QRect(10, 40, 380, 20)},
          {"R2", QRect(700, 52, 200, 16)},
          {"L3", QRect(10, 70, 250, 20)},
          {"R3", QRect(700, 78, 260, 16)},
          {"R4", QRect(700, 104, 260, 16)},
          {"below both", QRect(10, 140, 900, 20)}},
         {"L1", "L2", "L3", "R1", "R2", "R3", "R4", "below both"}},
        {"two text flows a little over a height apart, rows not lined up",
         {{"左一", QRect(10, 10, 300, 22)},
          {"right one", QRect(340, 20, 280, 18)},
          {"左二", QRect(10, 40, 280, 22)},
          {"right two", QRect(340, 48, 200, 18)},
          {"左三", QRect(10, 70, 250, 22)},
          {"right three", QRect(340, 76, 260, 18)}},
         {"左一", "左二", "左三", "right one", "right two", "right three"}},
        {"a form a little over a height between labels and fields",
         {{"名称", QRect(10, 10, 40, 20)},
          {"Tessal", QRect(80, 10, 60, 20)},
          {"版本", QRect(10, 40, 40, 20)},
          {"0.1.0", QRect(80, 40, 50, 20)},
          {"许可", QRect(10, 70, 40, 20)},
          {"GPL", QRect(80, 70, 40, 20)}},
         {"名称 Tessal", "版本 0.1.0", "许可 GPL"}},
        {"a terminal listing: one row cut at a wide run of cells, short rows under it",
         {{"$ ls -l", QRect(20, 22, 103, 24)},
          {"-rw-r--r-- 1 user user 48213 九月 20 2022 年度报告.pdf", QRect(23, 59, 443, 20)},
          {"-rw-r--r-- 1 user user", QRect(25, 94, 176, 18)},
          {"912 十一月 22 2021 会议记录.txt", QRect(231, 92, 251, 21)},
          {"$ git status", QRect(21, 126, 103, 22)},
          {"位于分支 main", QRect(23, 159, 109, 22)},
          {"尚未暂存以备提交的变更：", QRect(23, 194, 185, 21)},
          {"错误：找不到指令", QRect(22, 261, 374, 23)}},
         {"$ ls -l", "-rw-r--r-- 1 user user 48213 九月 20 2022 年度报告.pdf",
          "-rw-r--r-- 1 user user 912 十一月 22 2021 会议记录.txt", "$ git status", "位于分支 main",
          "尚未暂存以备提交的变更：", "错误：找不到指令"}},
        {"one row, three pieces",
         {{"Ctrl+N", QRect(400, 12, 60, 20)},
          {"New", QRect(10, 10, 40, 22)},
          {"File", QRect(80, 11, 50, 20)}},
         {"New File Ctrl+N"}},
        {"a terminal row of Chinese, wide cells, a comma low and a thin 一",
         {{"中", QRect(10, 10, 16, 18)},
          {"文", QRect(34, 10, 16, 18)},
          {"，", QRect(58, 20, 8, 8)},
          {"一", QRect(82, 17, 16, 5)},
          {"行", QRect(106, 10, 16, 18)}},
         {"中文，一行"}},
        {"Latin pieces close together (the detector saw a gap)",
         {{"Application", QRect(10, 10, 90, 20)}, {"Class", QRect(102, 10, 40, 20)}},
         {"Application Class"}},
        {"numbers in a terminal listing",
         {{"Sep 20", QRect(10, 10, 48, 18)}, {"2022", QRect(64, 10, 32, 18)}},
         {"Sep 20 2022"}},
        {"rows top to bottom",
         {{"second", QRect(10, 40, 60, 20)}, {"first", QRect(10, 10, 60, 20)}},
         {"first", "second"}},
    };
    for (const Case& c : cases) {
        QStringList got;
        for (const P& line : TextDetection::joinRows(c.pieces)) got << line.text;
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

// Which lines the traditional reader reads again: a simplified line is never touched amid
// simplified text (its stray traditional look-alikes are simplified), and short labels read in
// simplified forms amid traditional text are read again.
TEST(TextDetection, ScriptChoiceFollowsTheNeighbourhood) {
    using C = TextDetection::ScriptChoice;
    using L = TextDetection::Leaning;
    struct Case {
        const char* name;
        std::vector<L> lines;
        std::vector<C> expected;
    } cases[] = {
        {"simplified dialog with a look-alike",
         {{0, 5, 0.95}, {1, 3, 0.97}, {0, 4, 0.6}, {0, 6, 0.99}},
         {C::keep, C::simplify, C::keep, C::keep}},
        {"one traditional char alone in a simplified line",
         {{0, 0, 1}, {1, 1, 0.99}, {0, 2, 1}},
         {C::keep, C::simplify, C::keep}},
        {"traditional menu: a label read in simplified forms",
         {{2, 0, 0.95}, {1, 0, 0.97}, {0, 2, 0.95}, {2, 0, 0.99}, {1, 0, 0.99}},
         {C::keep, C::keep, C::readAgain, C::keep, C::keep}},
        {"traditional: an unsure line without either script's characters",
         {{3, 0, 0.99}, {0, 0, 0.5}, {2, 0, 0.99}},
         {C::keep, C::readAgain, C::keep}},
        {"traditional: an unsure line of Latin text is kept, unless it left ink unread",
         {{3, 0, 0.99}, {0, 0, 0.5, false, false}, {2, 0, 0.99}, {0, 0, 0.5, true, false}},
         {C::keep, C::keep, C::keep, C::readAgain}},
        {"a traditional quote in simplified text, unsure",
         {{0, 4, 1}, {3, 0, 0.7}, {0, 2, 1}, {0, 3, 1}, {0, 1, 1}},
         {C::keep, C::readAgain, C::keep, C::keep, C::keep}},
        {"no Chinese at all", {{0, 0, 0.5}, {0, 0, 0.99}}, {C::keep, C::keep}},
        {"a far traditional line counts a quarter",
         {{12, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 1, 1}, {0, 0, 1}, {0, 1, 1}},
         {C::keep, C::keep, C::keep, C::readAgain, C::keep, C::readAgain}},
        {"a far traditional line does not outweigh simplified neighbours",
         {{8, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 1, 1}, {0, 0, 1}, {0, 1, 1}},
         {C::keep, C::keep, C::keep, C::keep, C::keep, C::keep}},
        {"ink left unread: filled in alone or amid simplified text, read again amid traditional",
         {{0, 0, 1, true}, {0, 3, 1, true}, {0, 2, 1}, {2, 0, 1}, {3, 0, 1}, {0, 0, 1, true}},
         {C::fillIn, C::fillIn, C::keep, C::keep, C::keep, C::readAgain}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextDetection::scriptChoices(c.lines), c.expected);
    }
}

// Ink the first reading left out, and the second reader's characters put there: 更新日 read
// for 更新日誌 (a character dropped without a trace) becomes 更新日誌, while a frame's thin lines
// or a checkbox read as a character by the second reader add nothing.
TEST(TextDetection, UnreadInkIsFilledInByTheSecondReader) {
    using G = TextDetection::Glyph;
    using S = TextDetection::Span;
    const int height = 18;
    // Ink per column: `weight` over [left, right).
    auto inked = [](std::vector<int>& ink, int left, int right, int weight) {
        for (int x = left; x < right; ++x) ink[std::size_t(x)] = weight;
    };
    std::vector<int> chars(70, 0);  // four 14-pixel characters with 2-pixel gaps from column 4
    for (int k = 0; k < 4; ++k) inked(chars, 4 + 16 * k, 18 + 16 * k, 8);
    const std::vector<G> three = {{"更", 11}, {"新", 27}, {"日", 43}};
    auto unread = [&](const std::vector<G>& glyphs, const std::vector<int>& ink) {
        std::vector<std::pair<int, int>> spans;
        for (const S& s : TextDetection::unreadInk(glyphs, ink, height))
            spans.push_back({s.left, s.right});
        return spans;
    };
    using Spans = std::vector<std::pair<int, int>>;
    EXPECT_EQ(unread(three, chars), (Spans{{56, 66}}));  // the last character's far part
    std::vector<G> four = three;
    four.push_back({"誌", 59});
    EXPECT_EQ(unread(four, chars), Spans{});
    // The first character dropped instead.
    EXPECT_EQ(unread({{"新", 27}, {"日", 43}, {"誌", 59}}, chars), (Spans{{4, 15}}));
    // The thin lines of a frame (a combo box's top and bottom) go on past the character; alone
    // they are no character.
    std::vector<int> framed = chars;
    inked(framed, 66, 70, 2);
    EXPECT_EQ(unread(three, framed), (Spans{{56, 70}}));
    // A list's square icon before the text.
    std::vector<int> icon(90, 0);
    inked(icon, 2, 16, 14);
    for (int k = 0; k < 4; ++k) inked(icon, 24 + 16 * k, 38 + 16 * k, 8);
    EXPECT_EQ(unread({{"更", 31}, {"新", 47}, {"日", 63}, {"誌", 79}}, icon), Spans{});
    std::vector<int> frameOnly(70, 0);
    inked(frameOnly, 4, 50, 8);
    inked(frameOnly, 50, 70, 2);
    EXPECT_EQ(unread(three, frameOnly), Spans{});
    // Latin letters about half a character's width apart, all read; nothing read at all.
    std::vector<int> word(40, 0);
    inked(word, 2, 38, 6);
    EXPECT_EQ(unread({{"W", 5}, {"o", 12}, {"r", 18}, {"d", 24}, {"s", 30}, {"!", 35}}, word),
              Spans{});
    EXPECT_EQ(unread({}, chars), (Spans{{4, 66}}));
    EXPECT_EQ(unread({}, std::vector<int>(70, 0)), Spans{});

    // The second reader's characters: only Chinese ones whose middle lies in a gap, in place.
    const std::vector<G> second = {{"更", 10}, {"新", 26}, {"口", 44}, {"誌", 60}, {"]", 64}};
    const std::vector<G> filled = TextDetection::filledIn(three, second, {{56, 66}});
    QString text;
    for (const G& g : filled) text += g.text;
    EXPECT_EQ(text, QString::fromUtf8("更新日誌"));
    const std::vector<G> front =
        TextDetection::filledIn({{"新", 27}, {"日", 43}}, {{"更", 10}, {"新", 26}}, {{4, 15}});
    ASSERT_EQ(front.size(), 3u);
    EXPECT_EQ(front.front().text, QString::fromUtf8("更"));
    EXPECT_EQ(TextDetection::filledIn(three, second, {}).size(), 3u);
}

// The two readings merged: the second reader's traditional forms and the characters the first
// reader could not know; the first reader's own characters elsewhere.
TEST(TextDetection, ReadingsMergeByWhatEachReaderCanKnow) {
    // A tiny script table: simplified ↔ traditional pairs, and the first reader's dictionary.
    const QHash<QString, QString> pairs = {
        {"说", "說"}, {"结", "結"}, {"选", "選"}, {"画", "畫"}, {"复", "復"}};
    QHash<QString, QString> back = {{"複", "复"}};  // 复 has two traditional forms
    for (auto it = pairs.begin(); it != pairs.end(); ++it) back[it.value()] = it.key();
    const auto simplifiedOf = [&](const QString& c) { return back.value(c, c); };
    const auto traditionalOf = [&](const QString& c) { return pairs.value(c, c); };
    const QString known = "说明结束剪下选取画笔蛊箭头弱 .PDF重復複";
    const auto firstKnows = [&](const QString& c) { return known.contains(c); };
    struct Case {
        const char* first;
        const char* second;
        const char* expected;
    } cases[] = {
        {"说明", "說明", "說明"},            // traditional forms from the second
        {"结束", "", "結束"},                // nothing from the second: the first's, traditional
        {"剪下", "弱下", "剪下"},            // a look-alike the first could have read: the first's
        {"取蛊笔", "選取畫筆", "選取畫筆"},  // dropped by the first, or unknown to it: the second's
        {"剪下画", "剪下畫筆", "剪下畫筆"},  // the end the first dropped
        {"匯出为 PDF", "匯出為PDF", "匯出為 PDF"},  // 為 unknown to the first
        {"明", "說明書", "說明書"},
        {"重復", "重複", "重複"},  // the first's other traditional form of 复: the second's
        {"重複", "重復", "重復"},
        {"剪下复", "剪下", "剪下復"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextDetection::merged(QString::fromUtf8(c.first), QString::fromUtf8(c.second),
                                        simplifiedOf, traditionalOf, firstKnows),
                  QString::fromUtf8(c.expected))
            << c.first << " + " << c.second;
}
