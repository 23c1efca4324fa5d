#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <optional>

#include "base/AlertSpec.h"

namespace tessal {

class DefaultsStore;
class MainQueue;
class Pasteboard;
class ScreenshotHistory;

// Saving and copying an annotated screenshot (where saves go: SaveDestination).
namespace ScreenshotExport {

// The save step of a host: writes the PNG and records it in the history (when there is one), or
// tells the user why it could not be written.
bool save(const QByteArray& png, const QString& path, DefaultsStore& defaults,
          const std::function<void(const AlertSpec&)>& showError, ScreenshotHistory* history);

// The copy step of a host, and what the host does next. The clipboard is claimed at once with
// one image/png; the bitmap is made (a canvas with marks is rendered) and encoded on the worker
// queue "local.ostrel.png"; a paste that comes first waits for the bytes, and the resident
// program keeps serving them after the host closed. Once they are made the history records them
// on the same worker (its outcome is kept on the main queue); when they cannot be made the offer
// is withdrawn and `showError` tells the user.
enum class CopyOutcome { refused, stayOpen, close };
// Runs on the worker; a null image means it could not be made.
using BitmapSource = std::function<QImage()>;
using Encoder = std::function<std::optional<QByteArray>(const QImage&)>;
CopyOutcome copy(BitmapSource bitmap, Pasteboard& pasteboard, const DefaultsStore& defaults,
                 MainQueue& mainQueue, ScreenshotHistory* history,
                 std::function<void(const AlertSpec&)> showError, Encoder encode = {});
}  // namespace ScreenshotExport

// The preferences the capture reads.
namespace CapturePreferences {
// Copying ends the capture; true unless a Boolean says otherwise.
bool copyCloses(const DefaultsStore& defaults);
// The toolbar index active when the editor opens, clamped to 0…10.
int defaultTool(const DefaultsStore& defaults);
// The pointer is drawn into captures (the frozen still too); false unless a Boolean says so.
inline constexpr const char* includePointerKey = "includePointer";
bool includesPointer(const DefaultsStore& defaults);
}  // namespace CapturePreferences

}  // namespace tessal
