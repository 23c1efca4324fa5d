#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/AlertSpec.h"

class QFileSystemWatcher;
class QLabel;
class QListWidget;

namespace tessal {

class DefaultsStore;
class MainQueue;
class Pasteboard;
class ScreenshotHistory;

struct HistoryWindowEnvironment {
    MainQueue& mainQueue;
    Pasteboard& pasteboard;
    DefaultsStore& defaults;
    std::function<std::optional<QString>()> chooseSavePath;
    // An alert; returns the index of the chosen button.
    std::function<int(const AlertSpec&)> alert;
    // Decodes thumbnails away from the main thread; unset = at once (tests).
    std::function<void(std::function<void()>)> decodeQueue;
};

// "Tessal · 截图历史": the recorded screenshots newest first, each with a thumbnail and its time,
// a large preview of the selected one, and what can be done with it. Created once and reused.
// It follows the store's signals, and the folder itself (entries removed by hand) through a
// watcher and a look on activation; each time only the rows that came or went change.
class ScreenshotHistoryWindow final : public QWidget {
    Q_OBJECT
  public:
    ScreenshotHistoryWindow(ScreenshotHistory& store, HistoryWindowEnvironment environment);
    ~ScreenshotHistoryWindow() override;

    std::function<void(const QByteArray& png)> onEdit;
    std::function<void(const QByteArray& png)> onPin;

    void showWindow();
    // Brings the list in line with the folder: rows of entries that are gone are removed, new
    // entries get a row (only they are decoded), the selection stays on its entry (or moves to
    // the newest when its entry is gone), and the status line is renewed.
    void reload();
    void updateSelection();
    void copyImage();
    void saveImage();
    void editImage();
    void pinImage();
    void deleteImage();
    void clearHistory();

    const QStringList& entries() const { return entries_; }
    std::optional<int> selectedRow() const;
    void selectRow(int row);
    QString statusText() const;
    const QImage& previewImage() const { return preview_; }
    // The preview's size on screen in points (empty without one) and the area it must fit in.
    QSize previewShownSize() const;
    QSize previewArea() const;
    // Fits an image into an area without enlarging it: at most one image pixel per point, as a
    // pin of the entry shows it.
    static QSize fittedPreviewSize(QSize image, QSize area);
    // "开启记录", shown while recording is off.
    QPushButton* recordButton() const { return recordButton_; }
    // The five buttons that need a selection, then "清空历史".
    const std::vector<QPushButton*>& buttons() const { return buttons_; }
    // The thumbnail shown for a row; null while it is being read or when it cannot be.
    QImage rowThumbnail(int row) const;
    bool rowUnreadable(int row) const;
    // The row's time as shown, "MM-dd HH:mm:ss" in local time.
    static QString timeText(const QString& path);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void layoutContent();
    void updateStatus();
    void watchFolder();
    void requestThumbnails(const QStringList& paths);
    void requestPreview();
    // Runs a decoding job on the decode queue (at once without one).
    void decode(std::function<void()> job);
    std::optional<QByteArray> selectedBytes() const;

    ScreenshotHistory& store_;
    HistoryWindowEnvironment environment_;
    QListWidget* table_ = nullptr;
    QLabel* previewView_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* recordButton_ = nullptr;
    std::vector<QPushButton*> buttons_;
    QFileSystemWatcher* watcher_ = nullptr;
    QStringList entries_;
    QImage preview_;
    // Bumped on every selection, so a late preview of an old selection is dropped.
    unsigned long previewGeneration_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tessal
