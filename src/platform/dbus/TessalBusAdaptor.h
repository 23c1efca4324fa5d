#pragma once

#include <QDBusContext>
#include <QObject>

#include "platform/SessionBus.h"

namespace tessal {

// The object /local/ostrel: its slots are the interface's methods, its signals the interface's
// signals. Refusals are D-Bus errors with the user-facing message.
class TessalBusAdaptor final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "local.ostrel.Tessal")
  public:
    explicit TessalBusAdaptor(BusRequests requests, QObject* parent = nullptr);

  public slots:
    void Capture(double delay);
    void CaptureFull(int display, const QString& path);
    void CaptureRegion(double x, double y, double width, double height, const QString& path);
    void LastRegion();
    void OpenHistory();
    void OpenPreferences();

  signals:
    void CaptureDone(const QString& path);
    void CaptureCancelled();

  private:
    void answer(const BusAnswer& result);

    BusRequests requests_;
};

}  // namespace tessal
