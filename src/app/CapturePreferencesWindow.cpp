#include "CapturePreferencesWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "UiLanguage.h"
#include "annotation/ScreenshotExport.h"
#include "annotation/ToolbarModel.h"
#include "base/DefaultsStore.h"
#include "tools/ScreenshotHistory.h"
#include "tools/WindowPlacement.h"

namespace tessal {
namespace {

constexpr std::array<int, 4> kLimits = {10, 20, 50, 100};

QWidget* row(const QString& label, QWidget* control) {
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(new QLabel(label));
    layout->addWidget(control);
    layout->addStretch();
    return holder;
}

}  // namespace

int CapturePreferencesWindow::limitForIndex(int index) {
    return kLimits[std::size_t(std::clamp(index, 0, int(kLimits.size()) - 1))];
}

int CapturePreferencesWindow::indexForLimit(int limit) {
    const auto it = std::find(kLimits.begin(), kLimits.end(), limit);
    return it == kLimits.end() ? 1 : int(it - kLimits.begin());
}

CapturePreferencesWindow::CapturePreferencesWindow(DefaultsStore& defaults,
                                                   ScreenshotHistory& history,
                                                   std::function<int(const AlertSpec&)> alert)
    : QWidget(nullptr), defaults_(defaults), historyStore_(history), alert_(std::move(alert)) {
    setWindowTitle(QCoreApplication::translate("CapturePreferencesWindow", "Tessal · 截图偏好"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(480, 400);

    copyCloses_ =
        new QCheckBox(QCoreApplication::translate("CapturePreferencesWindow", "复制后退出截图"));
    pointer_ =
        new QCheckBox(QCoreApplication::translate("CapturePreferencesWindow", "截图时显示指针"));
    pointer_->setToolTip(QCoreApplication::translate("CapturePreferencesWindow",
                                                     "把指针画进截图（包括截图时冻结的画面）"));
    tool_ = new QComboBox;
    // In the toolbar's order; each item carries its toolbar index, which is what is stored.
    for (int index : toolbarVisualOrder)
        tool_->addItem(toolbarText(toolbarTools[std::size_t(index)].title), index);
    history_ =
        new QCheckBox(QCoreApplication::translate("CapturePreferencesWindow", "保留截图历史"));
    limit_ = new QComboBox;
    for (int n : kLimits)
        limit_->addItem(QCoreApplication::translate("CapturePreferencesWindow", "%1 张").arg(n));
    // Switching off only stops recording (ScreenshotHistory::setEnabled): nothing is deleted.
    auto* note = new QLabel(QCoreApplication::translate(
        "CapturePreferencesWindow",
        "历史仅存本机，容量上限 200 "
        "MB；关闭后停止记录，已有的历史保留，可在截图历史中删除或清空。"));
    note->setWordWrap(true);
    language_ = new QComboBox;
    language_->addItem(QCoreApplication::translate("CapturePreferencesWindow", "跟随系统"));
    // Each language by its own name, as language lists show them.
    language_->addItem(QStringLiteral("简体中文"),  // untranslated: a language's own name
                       int(UiLanguage::simplifiedChinese));
    language_->addItem(QStringLiteral("繁體中文"),  // untranslated: a language's own name
                       int(UiLanguage::traditionalChinese));
    language_->addItem(QStringLiteral("English"), int(UiLanguage::english));
    auto* languageRow =
        row(QCoreApplication::translate("CapturePreferencesWindow", "语言"), language_);
    auto* languageNote = new QLabel(
        QCoreApplication::translate("CapturePreferencesWindow", "下次启动 Tessal 时生效"));

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(24, 24, 24, 24);
    stack->setSpacing(16);
    stack->addWidget(copyCloses_);
    stack->addWidget(pointer_);
    stack->addWidget(
        row(QCoreApplication::translate("CapturePreferencesWindow", "截图后默认工具"), tool_));
    stack->addWidget(history_);
    limitRow_ =
        row(QCoreApplication::translate("CapturePreferencesWindow", "历史数量上限"), limit_);
    stack->addWidget(limitRow_);
    stack->addWidget(note);
    stack->addWidget(languageRow);
    stack->addWidget(languageNote);
    stack->addStretch();

    connect(copyCloses_, &QCheckBox::toggled, this, [this] { changed(); });
    connect(history_, &QCheckBox::toggled, this, [this] { changed(); });
    connect(pointer_, &QCheckBox::toggled, this, [this] { changed(); });
    connect(tool_, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    connect(limit_, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    connect(language_, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    // The history window can switch recording on too.
    connect(&historyStore_, &ScreenshotHistory::recordingChanged, this, [this](bool on) {
        const QSignalBlocker quiet(history_);
        history_->setChecked(on);
        limitRow_->setEnabled(on);
    });
}

void CapturePreferencesWindow::showWindow() {
    loading_ = true;
    copyCloses_->setChecked(CapturePreferences::copyCloses(defaults_));
    pointer_->setChecked(CapturePreferences::includesPointer(defaults_));
    history_->setChecked(historyStore_.enabled());
    limitRow_->setEnabled(history_->isChecked());
    tool_->setCurrentIndex(tool_->findData(CapturePreferences::defaultTool(defaults_)));
    limit_->setCurrentIndex(indexForLimit(historyStore_.limit()));
    const auto language = UiLanguages::preference(defaults_);
    language_->setCurrentIndex(language ? language_->findData(int(*language)) : 0);
    loading_ = false;
    if (!isVisible()) centreOnScreen(*this);
    show();
    raise();
    activateWindow();
}

void CapturePreferencesWindow::changed() {
    limitRow_->setEnabled(history_->isChecked());
    if (loading_) return;
    defaults_.set(QJsonObject{
        {QStringLiteral("copyCloses"), copyCloses_->isChecked()},
        {QString::fromLatin1(CapturePreferences::includePointerKey), pointer_->isChecked()},
        {QStringLiteral("defaultTool"), std::clamp(tool_->currentData().toInt(), 0, 10)},
    });
    const QVariant language = language_->currentData();
    UiLanguages::setPreference(
        defaults_, language.isValid() ? std::optional(UiLanguage(language.toInt())) : std::nullopt);
    // Through the store, so that an open history window follows.
    historyStore_.setEnabled(history_->isChecked());
    historyStore_.setLimit(limitForIndex(std::max(limit_->currentIndex(), 0)));
    if (const auto error = historyStore_.prune(); error && alert_)
        alert_({QCoreApplication::translate("CapturePreferencesWindow", "无法整理截图历史"),
                *error,
                {QCoreApplication::translate("CapturePreferencesWindow", "知道了")}});
}

}  // namespace tessal
