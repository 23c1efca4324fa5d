#pragma once

#include <QImage>
#include <QRect>
#include <QStringList>
#include <functional>
#include <vector>

namespace tessal {

// The pixel work around the text detector and reader (PP-OCR models): what goes in, and how
// their outputs become boxes and strings. No model runs here.
namespace TextDetection {

// The detector's input: the image at its own scale, each side rounded up to a multiple of 32
// (screenshots lose their small text when shrunk), capped at `maximumSide`. Planes B, G, R,
// each normalised with the ImageNet mean and deviation.
struct Planes {
    std::vector<float> data;
    int width = 0;
    int height = 0;
};
Planes detectionInput(const QImage& image, int maximumSide = 4096);

// The part of an image inside its plain margins: rows and columns at the edges whose pixels all
// equal the top-left one are left out (nothing to read there). Empty for a plain image.
QRect contentRect(const QImage& image);

// Text boxes from the detector's probability map (`width` × `height`, one float per pixel) in
// the pixels of an image of `imageSize`: pixels above 0.3 joined into regions, regions whose
// mean probability is below 0.6 or that are smaller than 3 pixels dropped, each grown by
// area × 1.5 / perimeter on every side (the "unclip" of the DB method) and scaled back. Screen
// text is upright, so the boxes are upright too. In rows as `joinRows` forms them, top to
// bottom, each row left to right.
std::vector<QRect> boxes(const float* probability, int width, int height, QSize imageSize);

// The reader's width for a line image of `size`: scaled to 48 rows, width in proportion, at
// least 8, at most `maximumWidth`.
int readerWidth(QSize size, int maximumWidth = 1600);

// The reader's input for a batch of line images: each scaled to 48 rows and `readerWidth`
// columns, planes B, G, R normalised to −1…1, padded on the right with zeros to the widest.
// `width` is the batch width.
Planes readerInput(const std::vector<QImage>& lines, int maximumWidth = 1600);

// Ink per column of a line image: pixels whose grey lies more than 48 levels from the ground's
// (the commonest grey of its top and bottom rows). A column without ink is blank.
std::vector<int> inkColumns(const QImage& line);

// The column ranges [left, right) a line image of `ink.size()` × `height` is read in, left to
// right: the whole line when the reader takes it unsqueezed, else pieces that do not overlap,
// each at most `maximumWidth` reader columns wide, each cut in the middle of the widest blank
// run in the second half of the piece (a gap between words or characters, never through one);
// a half without a blank column is cut at its column with the least ink. A line is read in at
// most `maximumPieces` pieces (a line 20,000 px wide is read whole from 10 px high up): what lies
// beyond them is left unread, so that a line of any width costs bounded time and memory, and its
// text says so (`spelled`).
struct Span {
    int left = 0;
    int right = 0;
};
std::vector<Span> spans(const std::vector<int>& ink, int height, int maximumWidth = 1600,
                        int maximumPieces = 64);

// The column ranges an image `width` wide is detected in: the whole width when it fits in
// `maximumSide`, else tiles that wide, each overlapping the next by `overlap` (the detector's
// input is capped, and a wide image shrunk to fit loses its text).
std::vector<Span> detectionTiles(int width, int maximumSide = 4096, int overlap = 256);

// The boxes found in neighbouring tiles (each tile's in image pixels) as one set: a box of one
// tile and a box of the next that overlap, on one row (vertical overlap at least half the
// smaller height), are one line cut by the seam or seen twice in the overlap. Top to bottom,
// then left to right.
std::vector<QRect> unitedBoxes(const std::vector<std::vector<QRect>>& tiles);

// The detector's boxes as lines to read. Small text set close (a terminal's rows) comes as pieces
// of a line grown into each other, which would each read the edge of the next again ("row 2 249 :
// t the" for "row 249: the"), and as boxes reaching into the next row: boxes on one row (their
// middles within a third of the smaller one's height) that overlap are one; where a box reaches
// into the next row's of one column, both end at the row of `image` between their middles with
// the least ink.
std::vector<QRect> tidiedBoxes(std::vector<QRect> boxes, const QImage& image);

// What the reader saw in a line: each kept class's text and the column where it was seen.
struct Glyph {
    QString text;
    double x = 0;
};

// Greedy CTC decoding of one line: per step the most likely class; repeats and blanks
// (class 0) dropped; class i is keys[i − 1]; step t was seen at column (t + 0.5) ×
// `columnsPerStep`. The probability of the least certain kept class goes to `confidence` when
// given (0 for an empty line).
std::vector<Glyph> glyphs(const float* probabilities, int steps, int classes,
                          const QStringList& keys, double columnsPerStep = 1,
                          double* confidence = nullptr);

// The same, as plain text.
QString decode(const float* probabilities, int steps, int classes, const QStringList& keys,
               double* confidence = nullptr);

// The reader's glyphs with the Chinese forms of punctuation it gives for ASCII marks (：．，‘’…)
// in their ASCII forms where the line shows they are ASCII: every mark in a line without Chinese
// characters; in a Chinese line an apostrophe between Latin letters (don't), a colon or full stop
// between digits (10:15, 3.14), a full stop after a Latin letter ("main．你的" → "main. 你的"),
// and single quotes around Latin text only ('python'). Chinese sentences keep theirs, also
// beside Latin words ("Wi-Fi：已连接", "人工智能（AI）", “OK”).
std::vector<Glyph> latinPunctuation(std::vector<Glyph> glyphs);

// A line's text from its glyphs (x in the columns of its image, left to right; `ink` from
// `inkColumns`; `pieces` as it was read), punctuation as `latinPunctuation` puts it: the reader's
// spaces, and one where the image between
// two glyphs, one of them not CJK (which takes no spaces), has a blank run a word space wide: an
// eighth of the height, well over the line's usual gap between letters, and, within a piece, at
// least three quarters of the blanks where the reader saw spaces in the line. A run of blank
// cells is one space; none at the ends. A line whose ink goes on past its last piece (left
// unread, see `spans`) ends in "…".
QString spelled(const std::vector<Glyph>& glyphs, const std::vector<int>& ink, int height,
                const std::vector<Span>& pieces = {});

// Where a line image shows ink its reading left out, as column ranges: the reader sometimes
// drops a character without a trace (更新日 for 更新日誌). A run of columns lying more than three
// quarters of a character from every glyph read (a character's width being the glyphs' usual
// distance, or 0.8 of the `height` with fewer than two) holds one when at least a third of a
// character's width of its columns carry a character's ink (a fifth of the height: a frame's
// thin lines or a lone rule do not), unless nearly all are filled (three fifths of the height: a
// block of colour, such as a list's icon). A line with such ink and no glyph read is left out
// whole.
std::vector<Span> unreadInk(const std::vector<Glyph>& glyphs, const std::vector<int>& ink,
                            int height);
// The first reading's glyphs with the second reader's characters added where the first left ink
// unread: each Chinese character of `second` (in the same line's columns) whose middle lies in
// one of `gaps`, in order of place.
std::vector<Glyph> filledIn(std::vector<Glyph> first, const std::vector<Glyph>& second,
                            const std::vector<Span>& gaps);

// The second reader's (Tesseract's) input for one line image: grey, dark text on a light
// ground (a line whose mean is dark is inverted; that reader's own inverted pass is off for
// speed), with a margin (secondReaderMargin) in the line's top-left colour all round, since
// text touching the edge is misread.
QImage secondReaderInput(const QImage& line);
int secondReaderMargin(int lineHeight);

// How a line's first reading leans between the Chinese scripts: its characters that only
// traditional Chinese writes, those that only simplified Chinese writes, and the reader's least
// certainty.
struct Leaning {
    int traditional = 0;
    int simplified = 0;
    double confidence = 1;
    bool unread = false;  // see unreadInk
    bool chinese = true;  // any Chinese character at all
};
// What becomes of a line's first reading: kept; read again by the traditional reader and merged
// (`merged`); its traditional-only characters put in their simplified forms; or read again only
// for the characters the first reading left out (`filledIn`).
enum class ScriptChoice { keep, readAgain, simplify, fillIn };
// The choice for each line (in reading order), by the script of its neighbourhood (itself and
// the two lines either side, and a quarter of the whole image's counts): where traditional
// characters outnumber simplified ones, a line with simplified-only characters or an unsure one is
// read again (short labels whose characters the first reader knows only in simplified form); where
// simplified ones are at least as many, stray traditional characters in a line holding no more of
// them than simplified ones are look-alikes and are simplified, and nothing is read again; a line
// with no neighbourhood evidence follows its own. A line without Chinese characters is kept,
// however unsure (the traditional reader adds nothing to Latin text). A line that would be kept but
// left ink unread is read again amid traditional text, else filled in.
std::vector<ScriptChoice> scriptChoices(const std::vector<Leaning>& lines);

// A line read by both readers, as one. Characters are aligned by edit distance, characters of
// the same simplified form (`simplifiedOf`) counting as a match (说 and 說; 復 and 複). Where they
// match, the second's form is taken (the traditional one); where they differ, the second's is
// taken only when the first reader could not have read it (`firstKnows`: its dictionary lacks
// it), else the first's; a Chinese character only the second has is taken (the first reader
// dropped what it did not know), and one only the first has is kept. Each kept
// character of the first is given in its traditional form (`traditionalOf`).
QString merged(const QString& first, const QString& second,
               const std::function<QString(const QString&)>& simplifiedOf,
               const std::function<QString(const QString&)>& traditionalOf,
               const std::function<bool(const QString&)>& firstKnows);

// Pieces of text joined into lines in reading order. Pieces whose vertical extents overlap by at
// least half the smaller height stand on one row (a shorter box a little higher, such as a time
// beside a message, included); rows go top to bottom, each left to right, joined with a space
// unless both sides are CJK and less than the taller one's height apart. A blank vertical band
// through three or more consecutive rows, with text on both sides, is a column boundary (windows
// or panes side by side) when it is at least two heights wide, or one height where most of those
// rows have no text lined up on both sides (text lined up across a narrow band is a form or a
// table): those rows are read column by column, left first.
struct Piece {
    QString text;
    QRect box;
};
std::vector<Piece> joinRows(std::vector<Piece> pieces);

}  // namespace TextDetection
}  // namespace tessal
