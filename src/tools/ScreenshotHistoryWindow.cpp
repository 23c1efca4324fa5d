#include "ScreenshotHistoryWindow.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QSet>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ScreenshotHistory.h"
#include "WindowPlacement.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "platform/Pasteboard.h"
#include "tools/SaveDestination.h"

namespace tessal {
namespace {

constexpr int kThumbnailRole = Qt::UserRole + 1;  // QImage, null while unknown
constexpr int kUnreadableRole = Qt::UserRole + 2;
constexpr int kPreviewSize = 700;

// One row: a 48-point rounded thumbnail 6 points from the left, then the time.
class HistoryRowDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {220, 60};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        if (option.state & QStyle::State_Selected)
            painter->fillRect(option.rect, option.palette.highlight());
        const QRectF box(option.rect.x() + 6, option.rect.center().y() - 23.5, 48, 48);
        QPainterPath rounded;
        rounded.addRoundedRect(box, 5, 5);
        painter->fillPath(rounded, QColor(0, 0, 0, 26));
        const QImage image = index.data(kThumbnailRole).value<QImage>();
        if (!image.isNull()) {
            painter->setClipPath(rounded);
            const QSizeF fitted = QSizeF(image.size()).scaled(box.size(), Qt::KeepAspectRatio);
            painter->drawImage(
                QRectF(box.center() - QPointF(fitted.width(), fitted.height()) / 2, fitted), image);
            painter->setClipping(false);
        } else if (index.data(kUnreadableRole).toBool()) {
            // A picture frame with a hill: the image could not be read.
            painter->setPen(QPen(QColor(0, 0, 0, 110), 1.5));
            const QRectF frame = box.adjusted(12, 14, -12, -14);
            painter->drawRoundedRect(frame, 2, 2);
            QPainterPath hill;
            hill.moveTo(frame.left() + 2, frame.bottom() - 2);
            hill.lineTo(frame.left() + 9, frame.top() + 8);
            hill.lineTo(frame.left() + 15, frame.bottom() - 5);
            hill.lineTo(frame.right() - 2, frame.bottom() - 2);
            painter->drawPath(hill);
        }
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(12);
        painter->setFont(font);
        painter->setPen(option.state & QStyle::State_Selected
                            ? option.palette.highlightedText().color()
                            : option.palette.text().color());
        const QRectF text(box.right() + 10, option.rect.y(),
                          option.rect.right() - 6 - (box.right() + 10), option.rect.height());
        painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }
};

}  // namespace

ScreenshotHistoryWindow::ScreenshotHistoryWindow(ScreenshotHistory& store,
                                                 HistoryWindowEnvironment environment)
    : QWidget(nullptr), store_(store), environment_(std::move(environment)) {
    setWindowTitle(QCoreApplication::translate("ScreenshotHistoryWindow", "Tessal · 截图历史"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMinimumSize(700, 380);

    table_ = new QListWidget(this);
    table_->setItemDelegate(new HistoryRowDelegate(table_));
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setUniformItemSizes(true);
    table_->setAccessibleName(QCoreApplication::translate("ScreenshotHistoryWindow", "截图时间"));
    connect(table_, &QListWidget::currentRowChanged, this, [this] { updateSelection(); });

    previewView_ = new QLabel(this);
    previewView_->setAlignment(Qt::AlignCenter);
    previewView_->setAccessibleName(
        QCoreApplication::translate("ScreenshotHistoryWindow", "截图预览"));
    status_ = new QLabel(this);
    recordButton_ =
        new QPushButton(QCoreApplication::translate("ScreenshotHistoryWindow", "开启记录"), this);
    connect(recordButton_, &QPushButton::clicked, this, [this] { store_.setEnabled(true); });

    const std::pair<const char*, void (ScreenshotHistoryWindow::*)()> actions[] = {
        {QT_TRANSLATE_NOOP("ScreenshotHistoryWindow", "复制"), &ScreenshotHistoryWindow::copyImage},
        {QT_TRANSLATE_NOOP("ScreenshotHistoryWindow", "保存…"),
         &ScreenshotHistoryWindow::saveImage},
        {QT_TRANSLATE_NOOP("ScreenshotHistoryWindow", "继续标注"),
         &ScreenshotHistoryWindow::editImage},
        {QT_TRANSLATE_NOOP("ScreenshotHistoryWindow", "贴图"), &ScreenshotHistoryWindow::pinImage},
        {QT_TRANSLATE_NOOP("ScreenshotHistoryWindow", "删除"),
         &ScreenshotHistoryWindow::deleteImage},
        {QT_TRANSLATE_NOOP("ScreenshotHistoryWindow", "清空历史"),
         &ScreenshotHistoryWindow::clearHistory}};
    for (const auto& [title, action] : actions) {
        auto* button =
            new QPushButton(QCoreApplication::translate("ScreenshotHistoryWindow", title), this);
        connect(button, &QPushButton::clicked, this, action);
        buttons_.push_back(button);
    }
    resize(800, 500);
    layoutContent();

    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { reload(); });
    connect(&store_, &ScreenshotHistory::entriesChanged, this, [this] { reload(); });
    connect(&store_, &ScreenshotHistory::recordingChanged, this, [this] { updateStatus(); });
    connect(&store_, &ScreenshotHistory::lastErrorChanged, this, [this] { updateStatus(); });
}

ScreenshotHistoryWindow::~ScreenshotHistoryWindow() {
    *alive_ = false;
}

void ScreenshotHistoryWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutContent();
}

// Re-checks the folder when the window comes to the front: the watcher loses a folder that was
// deleted and made again.
void ScreenshotHistoryWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) reload();
}

void ScreenshotHistoryWindow::layoutContent() {
    const int w = width(), h = height();
    // Buttons are 104 points wide, or as wide as a longer translation needs.
    auto widthOf = [](const QPushButton* button) {
        return std::max(104, button->sizeHint().width());
    };
    const int record = widthOf(recordButton_);
    const int recordWidth = recordButton_->isVisibleTo(this) ? record + 8 : 0;
    status_->setGeometry(16, 16, w - 32 - recordWidth, 24);
    recordButton_->setGeometry(w - 16 - record, 12, record, 32);
    table_->setGeometry(16, 56, 240, h - 120);
    previewView_->setGeometry(272, 56, w - 288, h - 120);
    int x = 16;
    for (QPushButton* button : buttons_) {
        button->setGeometry(x, h - 48, widthOf(button), 32);
        x += button->width() + 8;
    }
    if (preview_.isNull()) return;
    const QSize shown = fittedPreviewSize(preview_.size(), previewView_->size());
    // Drawn with as many pixels as the display has for those points, never more than decoded.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(shown) * ratio).toSize().boundedTo(preview_.size());
    QPixmap pixmap = QPixmap::fromImage(
        preview_.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(qreal(pixels.width()) / shown.width());
    previewView_->setPixmap(pixmap);
}

QSize ScreenshotHistoryWindow::fittedPreviewSize(QSize image, QSize area) {
    if (image.isEmpty() || area.isEmpty()) return {};
    if (image.width() <= area.width() && image.height() <= area.height()) return image;
    return image.scaled(area, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QSize ScreenshotHistoryWindow::previewShownSize() const {
    const QPixmap pixmap = previewView_->pixmap();
    return pixmap.isNull() ? QSize() : pixmap.deviceIndependentSize().toSize();
}

QSize ScreenshotHistoryWindow::previewArea() const {
    return previewView_->size();
}

void ScreenshotHistoryWindow::showWindow() {
    reload();
    if (!isVisible()) centreOnScreen(*this);
    show();
    raise();
    activateWindow();
}

QString ScreenshotHistoryWindow::timeText(const QString& path) {
    const qint64 ms = qint64(ScreenshotHistory::recordedAt(path) * 1000);
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("MM-dd HH:mm:ss"));
}

void ScreenshotHistoryWindow::reload() {
    const std::optional<int> row = selectedRow();
    const QString remembered = row ? entries_.value(*row) : QString();
    const QStringList current = store_.entries();
    QStringList added;
    {
        const QSignalBlocker quiet(table_);
        const QSet<QString> present(current.cbegin(), current.cend());
        for (qsizetype i = entries_.size() - 1; i >= 0; --i) {
            if (present.contains(entries_[i])) continue;
            delete table_->takeItem(int(i));
            entries_.removeAt(i);
        }
        // Both lists are newest first and what is left of the old one is part of the new one,
        // so a single walk finds where each new entry goes.
        for (qsizetype i = 0; i < current.size(); ++i) {
            if (i < entries_.size() && entries_[i] == current[i]) continue;
            entries_.insert(i, current[i]);
            table_->insertItem(int(i), timeText(current[i]));
            added << current[i];
        }
        const qsizetype again = entries_.indexOf(remembered);
        table_->setCurrentRow(entries_.isEmpty() ? -1 : int(std::max<qsizetype>(again, 0)));
    }
    const std::optional<int> now = selectedRow();
    if (!row || !now || entries_[*now] != remembered) updateSelection();
    requestThumbnails(added);
    watchFolder();
    updateStatus();
}

void ScreenshotHistoryWindow::updateStatus() {
    if (!store_.lastError().isEmpty())
        status_->setText(QCoreApplication::translate("ScreenshotHistoryWindow", "历史记录失败：%1")
                             .arg(store_.lastError()));
    else
        status_->setText(
            (store_.enabled()
                 ? QCoreApplication::translate("ScreenshotHistoryWindow", "%n 张 · 正在记录",
                                               nullptr, int(entries_.size()))
                 : QCoreApplication::translate("ScreenshotHistoryWindow",
                                               "%n 张 · 未开启记录，可在截图偏好中开启", nullptr,
                                               int(entries_.size()))));
    const bool offer = !store_.enabled();
    if (recordButton_->isVisibleTo(this) == offer) return;
    recordButton_->setVisible(offer);
    layoutContent();
}

// The folder exists only after the first recording, and a watch ends when it is deleted.
void ScreenshotHistoryWindow::watchFolder() {
    const QString& folder = store_.directory();
    const bool watched = watcher_->directories().contains(folder);
    const bool exists = QFileInfo(folder).isDir();
    if (exists && !watched)
        watcher_->addPath(folder);
    else if (!exists && watched)
        watcher_->removePath(folder);
}

std::optional<int> ScreenshotHistoryWindow::selectedRow() const {
    const int row = table_->currentRow();
    if (row < 0 || row >= entries_.size()) return std::nullopt;
    return row;
}

void ScreenshotHistoryWindow::selectRow(int row) {
    table_->setCurrentRow(row);
}

QString ScreenshotHistoryWindow::statusText() const {
    return status_->text();
}

QImage ScreenshotHistoryWindow::rowThumbnail(int row) const {
    const QListWidgetItem* item = table_->item(row);
    return item ? item->data(kThumbnailRole).value<QImage>() : QImage();
}

bool ScreenshotHistoryWindow::rowUnreadable(int row) const {
    const QListWidgetItem* item = table_->item(row);
    return item && item->data(kUnreadableRole).toBool();
}

void ScreenshotHistoryWindow::updateSelection() {
    const bool selected = selectedRow().has_value();
    for (std::size_t i = 0; i + 1 < buttons_.size(); ++i) buttons_[i]->setEnabled(selected);
    preview_ = QImage();
    previewView_->clear();
    ++previewGeneration_;
    if (selected) requestPreview();
}

// Thumbnails and the preview are decoded away from the main thread and handed back one by one,
// so a long history of large screenshots opens at once and fills in as it is read. A picture
// finds its row by the entry's path: rows may have come and gone in the meantime.
void ScreenshotHistoryWindow::requestThumbnails(const QStringList& paths) {
    std::weak_ptr<bool> alive = alive_;
    MainQueue* mainQueue = &environment_.mainQueue;
    for (const QString& path : paths) {
        auto job = [this, alive, mainQueue, path, store = &store_] {
            QImage image = store->listThumbnail(path);
            mainQueue->async([this, alive, path, image = std::move(image)] {
                if (alive.expired()) return;
                if (QListWidgetItem* item = table_->item(int(entries_.indexOf(path)))) {
                    item->setData(kThumbnailRole, image);
                    item->setData(kUnreadableRole, image.isNull());
                    if (image.isNull())
                        item->setData(
                            Qt::AccessibleDescriptionRole,
                            QCoreApplication::translate("ScreenshotHistoryWindow", "图片无法预览"));
                }
            });
        };
        decode(std::move(job));
    }
}

void ScreenshotHistoryWindow::requestPreview() {
    const auto row = selectedRow();
    if (!row) return;
    const unsigned long generation = ++previewGeneration_;
    std::weak_ptr<bool> alive = alive_;
    MainQueue* mainQueue = &environment_.mainQueue;
    auto job = [this, alive, mainQueue, generation, path = entries_[*row]] {
        QImage image = ScreenshotHistory::thumbnail(path, kPreviewSize);
        mainQueue->async([this, alive, generation, image = std::move(image)] {
            if (alive.expired() || generation != previewGeneration_) return;
            preview_ = image;
            layoutContent();
        });
    };
    decode(std::move(job));
}

void ScreenshotHistoryWindow::decode(std::function<void()> job) {
    if (environment_.decodeQueue)
        environment_.decodeQueue(std::move(job));
    else
        job();
}

std::optional<QByteArray> ScreenshotHistoryWindow::selectedBytes() const {
    const auto row = selectedRow();
    if (!row) return std::nullopt;
    QFile file(entries_[*row]);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
}

void ScreenshotHistoryWindow::copyImage() {
    if (const auto bytes = selectedBytes()) environment_.pasteboard.setPng(*bytes);
}

void ScreenshotHistoryWindow::saveImage() {
    const auto bytes = selectedBytes();
    if (!bytes || !environment_.chooseSavePath) return;
    const auto path = environment_.chooseSavePath();
    if (!path || path->isEmpty()) return;
    QString error;
    if (!SaveDestination::writePNG(*bytes, *path, environment_.defaults, &error) &&
        environment_.alert)
        environment_.alert(
            {QCoreApplication::translate("ScreenshotHistoryWindow", "无法保存截图"),
             QCoreApplication::translate("ScreenshotHistoryWindow", "无法保存“%1”：%2")
                 .arg(*path, error),
             {QCoreApplication::translate("ScreenshotHistoryWindow", "知道了")}});
}

void ScreenshotHistoryWindow::editImage() {
    if (const auto bytes = selectedBytes(); bytes && onEdit) onEdit(*bytes);
}

void ScreenshotHistoryWindow::pinImage() {
    if (const auto bytes = selectedBytes(); bytes && onPin) onPin(*bytes);
}

void ScreenshotHistoryWindow::deleteImage() {
    const auto row = selectedRow();
    if (!row) return;
    if (const auto error = store_.remove(entries_[*row])) {
        if (environment_.alert)
            environment_.alert(
                {QCoreApplication::translate("ScreenshotHistoryWindow", "无法删除截图"),
                 *error,
                 {QCoreApplication::translate("ScreenshotHistoryWindow", "知道了")}});
        return;
    }
    // Usually done already, through the store's signal; not when the file was gone before.
    reload();
}

void ScreenshotHistoryWindow::clearHistory() {
    if (!environment_.alert) return;
    const int answer = environment_.alert(
        {QCoreApplication::translate("ScreenshotHistoryWindow", "清空截图历史？"),
         QCoreApplication::translate("ScreenshotHistoryWindow",
                                     "删除本机保存的历史记录，已另存的截图不受影响。"),
         {QCoreApplication::translate("ScreenshotHistoryWindow", "清空"),
          QCoreApplication::translate("ScreenshotHistoryWindow", "取消")}});
    if (answer != 0) return;
    if (const auto error = store_.clear()) {
        environment_.alert(
            {QCoreApplication::translate("ScreenshotHistoryWindow", "无法清空截图历史"),
             *error,
             {QCoreApplication::translate("ScreenshotHistoryWindow", "知道了")}});
        return;
    }
    reload();
}

}  // namespace tessal
