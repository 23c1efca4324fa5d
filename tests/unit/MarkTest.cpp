#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTemporaryDir>
#include <cmath>

#include "annotation/AnnotationPreferences.h"
#include "annotation/Mark.h"
#include "annotation/NamedColors.h"
#include "base/DefaultsStore.h"

using namespace tessal;

namespace {

Mark mark(Tool tool, std::vector<Point> points, double width = 3) {
    Mark m;
    m.tool = tool;
    m.points = std::move(points);
    m.color = Qt::red;
    m.width = width;
    return m;
}

double headLength(const Mark& arrow) {
    // The head's tip is the last point; its base corners are the polygon's 3rd and 5th points.
    const QPolygonF polygon = arrow.path().toFillPolygon();
    const QPointF base = (polygon[2] + polygon[4]) / 2;
    return std::hypot(polygon[3].x() - base.x(), polygon[3].y() - base.y());
}

}  // namespace

TEST(Mark, ArrowHeadsAndEmptyArrows) {
    EXPECT_NEAR(headLength(mark(Tool::arrow, {{0, 0}, {20, 0}})), 8, 1e-9);    // 40 % of 20
    EXPECT_NEAR(headLength(mark(Tool::arrow, {{0, 0}, {300, 0}})), 15, 1e-9);  // 5 × width
    const QPolygonF head = mark(Tool::arrow, {{0, 0}, {300, 0}}).path().toFillPolygon();
    EXPECT_NEAR(head[2].y() - head[4].y(), 2 * 7.2, 1e-9);  // w = 0.48 × 15
    const Mark dot = mark(Tool::arrow, {{5, 5}, {5, 5}});
    EXPECT_TRUE(dot.path().isEmpty());
    EXPECT_FALSE(dot.hitTest({5, 5}));
    // The shaft is hit anywhere inside the polygon.
    EXPECT_TRUE(mark(Tool::arrow, {{0, 0}, {300, 0}}).hitTest({295, 0}));
}

TEST(Mark, DerivedSizes) {
    Mark number = mark(Tool::number, {{50, 50}});
    number.fontSize = 10;
    EXPECT_DOUBLE_EQ(badgeRadius(number.fontSize), 12);
    EXPECT_EQ(number.bounds(), Rect(38, 38, 24, 24));
    EXPECT_TRUE(number.hitTest({61, 50}));
    EXPECT_FALSE(number.hitTest({62.5, 50}));

    Mark highlight = mark(Tool::highlight, {{0, 0}, {100, 0}}, 1.5);
    EXPECT_DOUBLE_EQ(highlight.paintWidth(), 12);
    EXPECT_EQ(highlight.bounds(), Rect(-6, -6, 112, 12));
    EXPECT_TRUE(highlight.hitTest({50, 9}));
    EXPECT_FALSE(highlight.hitTest({50, 9.1}));

    for (double width : {1.5, 6.0}) {
        const Mark pen = mark(Tool::pen, {{0, 0}, {100, 0}}, width);
        EXPECT_TRUE(pen.hitTest({50, 6})) << width;
        EXPECT_FALSE(pen.hitTest({50, 6.1})) << width;
    }
    EXPECT_EQ(mark(Tool::pen, {{0, 0}, {10, 5}}).bounds(), Rect(0, 0, 10, 5));

    Mark brush = mark(Tool::mosaic, {{10, 10}});
    brush.mosaicBrush = true;
    EXPECT_DOUBLE_EQ(brush.paintWidth(), 30);
    EXPECT_FALSE(brush.canResize());
    EXPECT_TRUE(mark(Tool::mosaic, {{0, 0}, {5, 5}}).canResize());
    EXPECT_FALSE(mark(Tool::arrow, {{0, 0}, {5, 5}}).canResize());
}

TEST(Mark, RectangleOutlineAndBrushMask) {
    const Mark rect = mark(Tool::rectangle, {{0, 0}, {200, 100}});
    EXPECT_TRUE(rect.hitTest({5, 50}));     // 5 points inside the edge
    EXPECT_FALSE(rect.hitTest({100, 50}));  // deep inside: not the outline
    EXPECT_FALSE(rect.hitTest({100, 92}));  // 8 points inside the top edge
    EXPECT_TRUE(rect.hitTest({-4, -4}));    // just outside the corner

    Mark stroke = mark(Tool::mosaic, {{0, 0}, {100, 0}}, 3);
    stroke.mosaicBrush = true;  // 30 points wide
    EXPECT_TRUE(stroke.hitTest({50, 14}));
    EXPECT_FALSE(stroke.hitTest({50, 16}));
    EXPECT_TRUE(stroke.hitTest({-14, 0}));  // round cap
    Mark click = mark(Tool::mosaic, {{0, 0}, {0, 0}}, 3);
    click.mosaicBrush = true;
    EXPECT_TRUE(click.hitTest({0, 14}));
    EXPECT_FALSE(click.hitTest({11, 11}));
    EXPECT_NEAR(click.bounds().width(), 30, 0.5);
}

TEST(Mark, TextBoundsFollowItsLines) {
    Mark text = mark(Tool::text, {{10, 20}});
    text.text = "one";
    const Rect single = text.bounds();
    text.text = "one\ntwo\nthree and more";
    const Rect triple = text.bounds();
    EXPECT_EQ(single.origin, (Point{10, 20}));
    EXPECT_NEAR(triple.height(), 3 * single.height(), 2);
    EXPECT_GT(triple.width(), single.width());
    EXPECT_TRUE(text.hitTest({7, 18}));  // 4 points of grace
}

TEST(Mark, ShiftConstraints) {
    const Rect r(0, 0, 150, 400);
    EXPECT_EQ(constrainedEndpoint({100, 100}, {180, 130}, Tool::rectangle, r), (Point{150, 150}));
    EXPECT_EQ(constrainedEndpoint({100, 100}, {40, 70}, Tool::ellipse, r), (Point{40, 40}));
    // 30° snaps to 45° with the same length.
    const Point end =
        constrainedEndpoint({0, 0}, {100 * std::cos(M_PI / 6), 100 * std::sin(M_PI / 6)},
                            Tool::arrow, Rect(-500, -500, 1000, 1000));
    EXPECT_NEAR(end.x, 100 / std::sqrt(2), 1e-9);
    EXPECT_NEAR(end.y, 100 / std::sqrt(2), 1e-9);
    // An arrow keeps its direction and stops at the edge.
    const Point stopped = constrainedEndpoint({100, 100}, {300, 300}, Tool::arrow, r);
    EXPECT_NEAR(stopped.x, 150, 1e-9);
    EXPECT_NEAR(stopped.y, 150, 1e-9);
    EXPECT_EQ(constrainedEndpoint({0, 0}, {7, 3}, Tool::pen, r), (Point{7, 3}));
}

TEST(Mark, MarkerNumbersFillFromTheTop) {
    std::vector<Mark> marks;
    EXPECT_EQ(nextMarkerNumber(marks), 1);
    for (int n : {1, 2, 5}) {
        Mark m = mark(Tool::number, {{0, 0}});
        m.number = n;
        marks.push_back(m);
    }
    Mark notNumber = mark(Tool::rectangle, {{0, 0}, {1, 1}});
    notNumber.number = 40;
    marks.push_back(notNumber);
    EXPECT_EQ(nextMarkerNumber(marks), 6);
    marks.erase(marks.begin() + 1);  // deleting 2 leaves a gap
    EXPECT_EQ(nextMarkerNumber(marks), 6);
    marks.erase(marks.begin() + 1);  // deleting the highest frees its number
    EXPECT_EQ(nextMarkerNumber(marks), 2);
}

TEST(Mark, RawValues) {
    EXPECT_EQ(toolFromRaw(8), Tool::highlight);
    EXPECT_EQ(toolFromRaw(9), std::nullopt);
    EXPECT_EQ(toolFromRaw(-1), std::nullopt);
    EXPECT_EQ(mosaicModeFromRaw(1), MosaicMode::rectangle);
    EXPECT_EQ(mosaicModeFromRaw(2), std::nullopt);
}

TEST(AnnotationPreferences, DamagedValuesFallBackOneByOne) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    AnnotationPreferences fresh = AnnotationPreferences::load(defaults);
    EXPECT_EQ(fresh.color, NamedColor::systemRed());
    EXPECT_EQ(fresh.width, 3);
    EXPECT_EQ(fresh.fontSize, 24);
    EXPECT_EQ(fresh.mosaicMode, MosaicMode::brush);

    struct Case {
        const char* key;
        QJsonValue stored;
        std::function<void(const AnnotationPreferences&)> check;
    };
    const Case cases[] = {
        {"annotationWidth", 4, [](auto& p) { EXPECT_EQ(p.width, 3); }},
        {"annotationWidth", 6, [](auto& p) { EXPECT_EQ(p.width, 6); }},
        {"annotationWidth", "6", [](auto& p) { EXPECT_EQ(p.width, 3); }},
        {"annotationFontSize", 9.5, [](auto& p) { EXPECT_EQ(p.fontSize, 24); }},
        {"annotationFontSize", 200, [](auto& p) { EXPECT_EQ(p.fontSize, 24); }},
        {"annotationFontSize", 10, [](auto& p) { EXPECT_EQ(p.fontSize, 10); }},
        {"annotationFontSize", 96, [](auto& p) { EXPECT_EQ(p.fontSize, 96); }},
        {"annotationMosaicMode", 2, [](auto& p) { EXPECT_EQ(p.mosaicMode, MosaicMode::brush); }},
        {"annotationMosaicMode", 1,
         [](auto& p) { EXPECT_EQ(p.mosaicMode, MosaicMode::rectangle); }},
        {"annotationColor", QJsonArray{0, 1, 0},
         [](auto& p) { EXPECT_EQ(p.color, NamedColor::systemRed()); }},
        {"annotationColor", QJsonArray{0, 1, 0, "x"},
         [](auto& p) { EXPECT_EQ(p.color, NamedColor::systemRed()); }},
        {"annotationColor", QJsonArray{0, 1, 0, 1},
         [](auto& p) { EXPECT_EQ(p.color, QColor(0, 255, 0)); }},
    };
    for (const Case& c : cases) {
        DefaultsStore store(dir.filePath(QString("case-%1.json").arg(&c - cases)));
        store.set("annotationWidth", 1.5);
        store.set(c.key, c.stored);
        const AnnotationPreferences p = AnnotationPreferences::load(store);
        c.check(p);
        if (QString(c.key) != "annotationWidth") {
            EXPECT_EQ(p.width, 1.5) << c.key;
        }
    }

    const AnnotationPreferences saved{QColor(10, 20, 30, 128), 6, 40, MosaicMode::rectangle};
    saved.save(defaults);
    const AnnotationPreferences back = AnnotationPreferences::load(defaults);
    EXPECT_EQ(back.color.rgba(), saved.color.rgba());
    EXPECT_EQ(back.width, 6);
    EXPECT_EQ(back.fontSize, 40);
    EXPECT_EQ(back.mosaicMode, MosaicMode::rectangle);
}
