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
// a large preview of the selected one, and what can be done with it. Created once and reused;
// the list is read again on every showWindow.
class ScreenshotHistoryWindow final : public QWidget {
    Q_OBJECT
  public:
    ScreenshotHistoryWindow(ScreenshotHistory& store, HistoryWindowEnvironment environment);
    ~ScreenshotHistoryWindow() override;

    std::function<void(const QByteArray& png)> onEdit;
    std::function<void(const QByteArray& png)> onPin;

    void showWindow();
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
    // The five buttons that need a selection, then "清空历史".
    const std::vector<QPushButton*>& buttons() const { return buttons_; }
    // The thumbnail shown for a row; null while it is being read or when it cannot be.
    QImage rowThumbnail(int row) const;
    bool rowUnreadable(int row) const;
    // The row's time as shown, "MM-dd HH:mm:ss" in local time.
    static QString timeText(const QString& path);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutContent();
    void requestThumbnails();
    void requestPreview();
    // Runs a decoding job on the decode queue (at once without one).
    void decode(std::function<void()> job);
    std::optional<QByteArray> selectedBytes() const;

    ScreenshotHistory& store_;
    HistoryWindowEnvironment environment_;
    QListWidget* table_ = nullptr;
    QLabel* previewView_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<QPushButton*> buttons_;
    QStringList entries_;
    QImage preview_;
    // Bumped on every reload (and every selection), so late pictures of an old list (or an
    // old selection) are dropped.
    unsigned long listGeneration_ = 0;
    unsigned long previewGeneration_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tessal
