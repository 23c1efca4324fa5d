#pragma once

#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

#include "base/geometry.h"

namespace tessal {

// Tessal on the session bus: the well-known name local.ostrel (the application id), one object
// /local/ostrel with the interface local.ostrel.Tessal.
inline constexpr const char* sessionBusName = "local.ostrel";
inline constexpr const char* sessionBusPath = "/local/ostrel";
inline constexpr const char* sessionBusInterface = "local.ostrel.Tessal";

// Why a request was refused; the message is what the caller shows.
struct BusRefusal {
    enum class Kind { invalidInput, busy, failed };
    Kind kind = Kind::failed;
    QString message;
};
using BusAnswer = std::optional<BusRefusal>;  // nothing: done (or started)

// What the bus's methods do; each runs on the main thread.
struct BusRequests {
    std::function<BusAnswer(double delay)> capture;
    std::function<BusAnswer(int display, const QString& path)> captureFull;
    std::function<BusAnswer(const Rect& globalRegion, const QString& path)> captureRegion;
    std::function<BusAnswer()> lastRegion;
    std::function<BusAnswer()> openHistory;
    std::function<BusAnswer()> openPreferences;
};

class SessionBusService {
  public:
    virtual ~SessionBusService() = default;
    // The signals CaptureDone(path) and CaptureCancelled().
    virtual void captureDone(const QString& path) = 0;
    virtual void captureCancelled() = 0;
};

// Publishes the object and takes the name; nothing (with the reason in `error`) when there is
// no session bus or another process owns the name.
std::unique_ptr<SessionBusService> publishOnSessionBus(BusRequests requests, QString* error);

// Calls `method` of the Tessal that owns the name: nothing when there is no session bus or no
// owner (a call never starts one), an empty string when it answered, else its error message.
std::optional<QString> callRunningTessal(const QString& method, const QVariantList& arguments);

}  // namespace tessal
