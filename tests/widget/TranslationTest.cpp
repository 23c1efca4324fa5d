#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>

#include "annotation/AnnotationToolbar.h"
#include "annotation/SavePanel.h"
#include "app/AlertPresenter.h"
#include "app/CapturePreferencesWindow.h"
#include "app/ShortcutDialog.h"
#include "app/UiLanguage.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "longcapture/LongCaptureControlWindow.h"
#include "platform/fake/FakePlatform.h"
#include "regions/ChildRegionPermissionGuide.h"
#include "tools/SaveDestination.h"
#include "tools/ScreenshotHistory.h"
#include "tools/ScreenshotHistoryWindow.h"
#include "tools/TextRecognitionWindow.h"

using namespace tessal;

namespace {

// Installs a language for one test and takes every translator away again afterwards, so the
// other tests keep seeing the source texts.
class Language {
  public:
    explicit Language(UiLanguage language, const QString& folder = QStringLiteral(":/i18n"))
        : shown(UiLanguages::install(*qApp, language, folder)) {}
    ~Language() { qDeleteAll(qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)); }
    const UiLanguage shown;
};

QString tr(const char* context, const char* source, int n = -1) {
    return QCoreApplication::translate(context, source, nullptr, n);
}

const QRegularExpression han(QStringLiteral("[\\x{3400}-\\x{9fff}]"));

// Every visible text of a window that does not fit the widget showing it, and under English
// every one that still has Han characters in it.
QStringList problems(QWidget& window, bool english, const QSet<QWidget*>& ownNames = {}) {
    QStringList found;
    // ctest runs the fit tests a second time at scale 2 and says so here.
    const double scale = qEnvironmentVariable("TESSAL_TEST_SCALE", QStringLiteral("1")).toDouble();
    if (window.devicePixelRatio() != scale)
        found << QStringLiteral("shown at scale %1 instead of %2")
                     .arg(window.devicePixelRatio())
                     .arg(scale);
    auto check = [&](QWidget* w, const QString& what, const QString& text) {
        if (english && han.match(text).hasMatch())
            found << QStringLiteral("%1 %2 untranslated: %3")
                         .arg(QString::fromLatin1(w->metaObject()->className()), what, text);
    };
    check(&window, QStringLiteral("title"), window.windowTitle());
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* w : widgets) {
        if (!w->isVisible() || ownNames.contains(w)) continue;
        check(w, QStringLiteral("tooltip"), w->toolTip());
        check(w, QStringLiteral("name"), w->accessibleName());
        const QFontMetrics metrics(w->font());
        const QString name = QString::fromLatin1(w->metaObject()->className());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const QString text = label->text();
            check(w, QStringLiteral("label"), text);
            if (text.isEmpty() || Qt::mightBeRichText(text)) continue;
            const QRect room = label->contentsRect();
            const QRect needed =
                metrics.boundingRect(label->wordWrap() ? room : QRect(0, 0, 100000, 100000),
                                     Qt::TextWordWrap * label->wordWrap(), text);
            if (needed.width() > room.width() || needed.height() > room.height())
                found << QStringLiteral("clipped %1 (%2×%3 in %4×%5): %6")
                             .arg(name)
                             .arg(needed.width())
                             .arg(needed.height())
                             .arg(room.width())
                             .arg(room.height())
                             .arg(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            check(w, QStringLiteral("button"), button->text());
            // Qt's own measure of what the text, icon and indicator need.
            if (!button->text().isEmpty() && button->sizeHint().width() > button->width())
                found << QStringLiteral("clipped %1 (%2 in %3): %4")
                             .arg(name)
                             .arg(button->sizeHint().width())
                             .arg(button->width())
                             .arg(button->text());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                check(w, QStringLiteral("item"), combo->itemText(i));
            if (combo->minimumSizeHint().width() > combo->width())
                found << QStringLiteral("clipped %1 (%2 in %3): %4")
                             .arg(name)
                             .arg(combo->minimumSizeHint().width())
                             .arg(combo->width())
                             .arg(combo->currentText());
        }
    }
    return found;
}

const UiLanguage kLanguages[] = {UiLanguage::simplifiedChinese, UiLanguage::traditionalChinese,
                                 UiLanguage::english};

}  // namespace

TEST(Translation, EachLanguageLoadsAndAFileThatFailsFallsBack) {
    QTemporaryDir broken;
    // English intact, traditional Chinese unreadable: the damaged file leads to English.
    ASSERT_TRUE(QFile::copy(":/i18n/tessal_en.qm", broken.filePath("tessal_en.qm")));
    QFile damaged(broken.filePath("tessal_zh_TW.qm"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a translation");
    damaged.close();
    struct Case {
        const char* name;
        UiLanguage language;
        QString folder;
        UiLanguage shown;
        const char* copy;    // the toolbar's "复制"
        const char* qtSave;  // Qt's own "Save", as its dialogs show it
    };
    const Case cases[] = {
        {"simplified", UiLanguage::simplifiedChinese, ":/i18n", UiLanguage::simplifiedChinese,
         "复制", "保存"},
        {"traditional", UiLanguage::traditionalChinese, ":/i18n", UiLanguage::traditionalChinese,
         "複製", "儲存"},
        {"english", UiLanguage::english, ":/i18n", UiLanguage::english, "Copy", "Save"},
        {"damaged file", UiLanguage::traditionalChinese, broken.path(), UiLanguage::english, "Copy",
         "Save"},
        {"no files", UiLanguage::traditionalChinese, broken.filePath("none"),
         UiLanguage::simplifiedChinese, "复制", "保存"},
        {"no English either", UiLanguage::english, broken.filePath("none"),
         UiLanguage::simplifiedChinese, "复制", "保存"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Language language(c.language, c.folder);
        EXPECT_EQ(language.shown, c.shown);
        EXPECT_EQ(tr("ToolbarModel", "复制"), QString::fromUtf8(c.copy));
        EXPECT_EQ(tr("QPlatformTheme", "Save"), QString::fromUtf8(c.qtSave));
    }
    EXPECT_EQ(tr("ToolbarModel", "复制"), "复制");  // nothing left installed
}

TEST(Translation, NumbersAndKeysFollowTheLanguage) {
    {
        const Language english(UiLanguage::english);
        EXPECT_EQ(tr("ScreenshotHistoryWindow", "%n 张 · 正在记录", 1), "1 screenshot · recording");
        EXPECT_EQ(tr("ScreenshotHistoryWindow", "%n 张 · 正在记录", 12),
                  "12 screenshots · recording");
        EXPECT_EQ(tr("ScreenshotHistoryWindow", "%n 张 · 正在记录", 0),
                  "0 screenshots · recording");
        EXPECT_EQ(tr("AppDelegate", "截图  %1").arg(CaptureShortcut::defaultShortcut().text()),
                  "Take Screenshot  Ctrl+1");
    }
    {
        const Language traditional(UiLanguage::traditionalChinese);
        EXPECT_EQ(tr("ScreenshotHistoryWindow", "%n 张 · 正在记录", 12), "12 張 · 正在記錄");
        // Qt's own key names come with Qt's translation.
        EXPECT_EQ((CaptureShortcut{49, 2304, QString()}.text()), "Super+Alt+空白鍵");
    }
}

TEST(Translation, WindowsFitTheirTextsInEveryLanguage) {
    ManualClock clock;
    ManualMainQueue queue{clock};
    FakePasteboard pasteboard;
    FakeTextRecognizer recognizer;
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    ScreenshotHistory history(dir.filePath("History"), defaults);
    for (const UiLanguage l : kLanguages) {
        const Language language(l);
        const bool english = l == UiLanguage::english;
        SCOPED_TRACE(UiLanguages::code(l).toStdString());
        std::vector<std::pair<const char*, QStringList>> found;

        CapturePreferencesWindow preferences(defaults, history, {});
        preferences.showWindow();
        // The language list names each language in itself.
        found.push_back({"preferences", problems(preferences, english, {preferences.language()})});

        for (const int width : {1600, 400}) {
            AnnotationToolbar toolbar(width, queue);
            toolbar.show();
            found.push_back({"toolbar", problems(toolbar, english)});
        }

        ShortcutDialog shortcut(CaptureShortcut::defaultShortcut());
        shortcut.box()->show();
        found.push_back({"shortcut dialog", problems(*shortcut.box(), english)});

        LongCaptureControlWindow control;
        control.show();
        found.push_back({"long capture", problems(control, english)});

        ScreenshotHistoryWindow historyWindow(
            history, HistoryWindowEnvironment{queue, pasteboard, defaults, {}, {}, {}});
        historyWindow.reload();
        historyWindow.show();
        found.push_back({"history", problems(historyWindow, english)});

        QImage white(200, 100, QImage::Format_RGB32);
        white.fill(Qt::white);
        TextRecognitionWindow recognition(white, false,
                                          TextRecognitionEnvironment{queue, pasteboard, &recognizer,
                                                                     [](std::function<void()>) {}});
        recognition.show();
        found.push_back({"recognition", problems(recognition, english)});

        const auto alert = MessageBoxPresenter::build(
            ChildRegionPermissionGuide::alert(CaptureShortcut::defaultShortcut().text()));
        alert->show();
        found.push_back({"alert", problems(*alert, english)});

        for (const auto& [window, list] : found)
            EXPECT_TRUE(list.isEmpty()) << window << ":\n" << list.join("\n").toStdString();
    }
}

TEST(Translation, ThePreferencesChooseTheLanguageForTheNextStart) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    ScreenshotHistory history(dir.filePath("History"), defaults);
    CapturePreferencesWindow preferences(defaults, history, {});
    preferences.showWindow();
    QComboBox* language = preferences.language();
    EXPECT_EQ(language->currentIndex(), 0);  // follow the system
    for (const UiLanguage chosen : kLanguages) {
        language->setCurrentIndex(language->findData(int(chosen)));
        EXPECT_EQ(UiLanguages::preference(DefaultsStore(dir.filePath("defaults.json"))), chosen);
        CapturePreferencesWindow reopened(defaults, history, {});
        reopened.showWindow();
        EXPECT_EQ(reopened.language()->currentData(), int(chosen));
    }
    language->setCurrentIndex(0);
    EXPECT_EQ(UiLanguages::preference(defaults), std::nullopt);
    // The window says when the choice applies.
    bool says = false;
    for (QLabel* label : preferences.findChildren<QLabel*>())
        says |= label->isVisible() && label->text() == "下次启动 Tessal 时生效";
    EXPECT_TRUE(says);
}

TEST(Translation, SaveDialogFitsItsColumnsAndPlacesInEveryLanguage) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    const QString pictures = dir.filePath("Pictures");
    QDir().mkpath(pictures);
    // A picture saved before, under the name the dialog proposes.
    QFile(pictures + "/" + SaveDestination::defaultFileName(1'796'683'610))
        .open(QIODevice::WriteOnly);
    for (const UiLanguage l : kLanguages) {
        const Language language(l);
        SCOPED_TRACE(UiLanguages::code(l).toStdString());
        QFileDialog dialog;
        configureSavePanel(dialog, defaults, pictures, dir.filePath("home"));
        dialog.show();
        auto* list = dialog.findChild<QTreeView*>("treeView");
        auto* places = dialog.findChild<QListView*>("sidebar");
        ASSERT_TRUE(list && places);
        QDeadlineTimer loaded(3000);
        // Rows come first, their sizes and dates from a worker thread after.
        const auto dated = [list] {
            const QModelIndex date = list->model()->index(0, 3, list->rootIndex());
            return !date.data().toString().isEmpty();
        };
        while (!dated() && !loaded.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_GT(list->model()->rowCount(list->rootIndex()), 0);
        QCoreApplication::processEvents();
        QHeaderView* header = list->header();
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column)) continue;
            // The header's label and each row's text.
            int needed = header->sectionSizeHint(column);
            for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
                needed = std::max(
                    needed,
                    list->sizeHintForIndex(list->model()->index(row, column, list->rootIndex()))
                        .width());
            EXPECT_GE(header->sectionSize(column), needed)
                << "column " << column << ": "
                << header->model()->headerData(column, Qt::Horizontal).toString().toStdString();
        }
        for (int row = 0; row < places->model()->rowCount(); ++row)
            EXPECT_GE(places->viewport()->width(),
                      places->sizeHintForIndex(places->model()->index(row, 0)).width())
                << places->model()->index(row, 0).data().toString().toStdString();
    }
}
