#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <optional>

#include "base/geometry.h"
#include "imaging/PngEncoder.h"

namespace tessal {

// A still the command line took, handed to the running Tessal for what only a program that
// stays can do: hold the clipboard after the command has returned, show a pin, open the editor.
// The PNG travels as a file in the user's private folder (the socket carries one line); the
// receiver reads and removes it.
struct StillDelivery {
    QString path;
    Rect frame;  // where the still was taken, global points: a pin goes there
    bool clipboard = false;
    bool pin = false;
    bool edit = false;

    // "still clipboard,pin,edit X,Y,W,H PATH"
    QString request() const;
    // Nothing for a line that is not such a request, or that names a file outside `folder`.
    static std::optional<StillDelivery> parse(const QString& request, const QString& folder);
};

// What the running Tessal does with a delivered still.
struct StillReceiver {
    std::function<bool(const QByteArray& png)> setClipboard;
    std::function<bool(const EncodedImage& image, const Rect& frame)> pin;
    std::function<void(const QImage& image)> edit;
};

// Carries out a delivery and removes its file; the answer line for the socket: "ok", or
// "failed " and the reason.
QString receiveStill(const StillDelivery& delivery, const StillReceiver& receiver);

// The command line's side: writes the PNG into `folder`, hands it to the running Tessal with
// `ask` (the answer line, nothing when no Tessal answers) and, when none answers, calls `start`
// and asks again until `seconds` have passed. Nothing when done, else the reason. The file is
// gone afterwards unless a Tessal took it.
std::optional<QString> deliverStill(
    const QByteArray& png, StillDelivery delivery, const QString& folder,
    const std::function<std::optional<QString>(const QString&)>& ask,
    const std::function<bool()>& start, double seconds);

}  // namespace tessal
