#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QTextLayout>
#include <QTimer>

#include "app/AlertPresenter.h"
#include "app/Resources.h"
#include "tools/WindowPlacement.h"

using namespace tessal;

TEST(WindowPlacement, CentresWithinTheWorkAreaAndShrinksToFit) {
    struct Case {
        const char* name;
        QSize wanted;
        QRect workArea;
        QRect expected;
    };
    const Case cases[] = {
        {"primary display, panel at the top",
         {920, 720},
         {0, 32, 1920, 1048},
         {500, 196, 920, 720}},
        {"second display to the right", {920, 720}, {1920, 0, 1280, 1024}, {2100, 152, 920, 720}},
        {"display left of and above the primary",
         {920, 720},
         {-1440, -900, 1440, 900},
         {-1180, -810, 920, 720}},
        {"work area narrower than the window", {920, 720}, {0, 0, 800, 1000}, {0, 140, 800, 720}},
        {"work area smaller both ways, with offset",
         {920, 720},
         {100, 50, 640, 480},
         {100, 50, 640, 480}},
        {"odd remainder rounds towards the top left",
         {101, 101},
         {0, 0, 200, 200},
         {49, 49, 101, 101}},
    };
    for (const Case& c : cases) EXPECT_EQ(centredFrame(c.wanted, c.workArea), c.expected) << c.name;
}

namespace {

std::unique_ptr<QMessageBox> shownBox(const AlertSpec& alert) {
    auto box = MessageBoxPresenter::build(alert);
    box->show();
    QApplication::processEvents();
    return box;
}

}  // namespace

TEST(AlertPresenter, FailuresWarnAndAPathFitsWithoutBreakingItsNames) {
    const struct {
        AlertSpec::Severity severity;
        QMessageBox::Icon icon;
        QString path;
    } cases[] = {
        {AlertSpec::Severity::information, QMessageBox::Information,
         "/home/someone/Pictures/Screenshots/2026-12/project-review/"
         "Tessal-2026-12-07-154512-annotated.png"},
        {AlertSpec::Severity::warning, QMessageBox::Warning,
         "/home/someone/图片/项目评审截图/二零二六年十二月的长截图/Tessal-2026-12-07-154512.png"},
        {AlertSpec::Severity::critical, QMessageBox::Critical,
         "/media/someone/外接硬盘-备份/screenshots-from-the-design-review/第三轮/截图.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        AlertSpec alert{QStringLiteral("无法保存截图"),
                        QStringLiteral("“%1”无法写入：权限不足。").arg(c.path),
                        {QStringLiteral("知道了")}};
        alert.severity = c.severity;
        auto box = shownBox(alert);
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_GE(box->width(), MessageBoxPresenter::minimumWidth);
        auto* informative = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
        ASSERT_NE(informative, nullptr);
        EXPECT_EQ(informative->text().remove(QChar(0x200B)).remove(QChar(0x2060)),
                  alert.informative);
        // The path breaks only after a slash: each of its names stays whole on one line.
        const QString shown = informative->text();
        const int pathStart = shown.indexOf(QLatin1Char('/'));
        const int pathEnd = shown.indexOf(QStringLiteral("png")) + 3;
        QTextLayout layout(shown, informative->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        int lines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(informative->contentsRect().width());
            ++lines;
            const int start = line.textStart();
            const bool afterSlash = start > 0 && (shown[start - 1] == QLatin1Char('/') ||
                                                  shown[start - 1] == QChar(0x200B));
            EXPECT_TRUE(start <= pathStart || start >= pathEnd || afterSlash)
                << "a line starts inside a name: " << shown.mid(start, 12).toStdString();
        }
        layout.endLayout();
        EXPECT_LE(lines, 3);
    }
}

TEST(AlertPresenter, AKeyHeldFromBeforeTheAlertDoesNotAnswerIt) {
    MessageBoxPresenter presenter;
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) return;
        // The Return that answered the alert before this one, still held: it repeats into
        // the default button, which has the focus.
        QPushButton* target = nullptr;
        for (QPushButton* button : box->findChildren<QPushButton*>())
            if (button->isDefault()) target = button;
        if (!target) {
            ADD_FAILURE() << "the alert has no default button";
            box->close();
            return;
        }
        for (int i = 0; i < 3; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(target, &repeat);
        }
        // A repeat Qt could not tell from a fresh press: a release and a press at one moment.
        for (const QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) {
            QKeyEvent unmarked(type, Qt::Key_Return, Qt::NoModifier);
            unmarked.setTimestamp(1000);
            QApplication::sendEvent(target, &unmarked);
        }
        // An answer hides the box at once.
        if (!box->isVisible()) {
            ADD_FAILURE() << "a held Return answered the alert";
            return;
        }
        // Let go for good, then pressed anew: that Return answers it.
        for (const auto& [type, time] :
             {std::pair{QEvent::KeyRelease, 1040}, std::pair{QEvent::KeyPress, 3000}}) {
            QKeyEvent fresh(type, Qt::Key_Return, Qt::NoModifier);
            fresh.setTimestamp(time);
            QApplication::sendEvent(target, &fresh);
        }
        if (box->isVisible()) {
            ADD_FAILURE() << "a fresh Return did not answer the alert";
            box->close();
        }
    });
    EXPECT_EQ(presenter.run({QStringLiteral("先截图吗？"), {}, {"去开启", "先截图"}}), 0);
}

TEST(AlertPresenter, EscapeOnTheBoxAnswersItsCancellingButton) {
    const struct {
        QStringList buttons;
        int answer;
    } cases[] = {{{"保存", "继续编辑", "不保存"}, 1}, {{"知道了"}, 0}};
    MessageBoxPresenter presenter;
    for (const auto& c : cases) {
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(box, &escape);
            }
        });
        EXPECT_EQ(presenter.run({QStringLiteral("是否保存？"), {}, c.buttons}), c.answer);
    }
}

TEST(TrayIcon, TheFallbackGlyphStandsOutOnLightAndDarkPanels) {
    for (const QColor panel : {QColor(0xef, 0xef, 0xef), QColor(0xd6, 0xd6, 0xd6),
                               QColor(0x30, 0x30, 0x30), QColor(0x1e, 0x1e, 0x1e)}) {
        QPalette palette;
        palette.setColor(QPalette::Window, panel);
        const QPixmap glyph = trayIcon(palette).pixmap(22, 22);
        ASSERT_FALSE(glyph.isNull());
        QImage shown(glyph.size(), QImage::Format_RGB32);
        shown.fill(panel);
        QPainter(&shown).drawPixmap(0, 0, glyph);
        // The most contrasting pixel of the glyph against the panel, in grey levels.
        int contrast = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                contrast =
                    std::max(contrast, std::abs(qGray(shown.pixel(x, y)) - qGray(panel.rgb())));
        EXPECT_GE(contrast, 120) << panel.name().toStdString();
        if (qEnvironmentVariableIsSet("TESSAL_TRAY_SHOT"))
            shown.scaled(88, 88).save(qEnvironmentVariable("TESSAL_TRAY_SHOT") +
                                      panel.name().mid(1) + ".png");
    }
}
