#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QVariantMap>

#include "base/UserError.h"

namespace tessal {

// KWin's own screenshot interface (org.kde.KWin.ScreenShot2, KWin 5.27 and later): no dialog,
// no portal. KWin grants it to a program whose desktop entry, found by the executable's path,
// names it in X-KDE-DBUS-Restricted-Interfaces, and refuses everyone else.
class KWinScreenShot {
  public:
    KWinScreenShot(QDBusConnection bus, int timeoutMs);
    static const QString service;
    // Whether this is a Plasma session whose KWin offers the interface on `bus`.
    static bool available(const QDBusConnection& bus);
    // Output `name`'s picture at the output's own pixels, the pointer drawn in when asked; the
    // whole exchange within the time box. `refused` is set when KWin refused the caller.
    Result<QImage> captureScreen(const QString& name, bool pointer, bool* refused = nullptr);

  private:
    QDBusConnection bus_;
    int timeoutMs_;
};

// The picture KWin described in `results` (type "raw", width, height, stride and format, a
// QImage format number) from the bytes it wrote, as ARGB32 premultiplied. Null unless the bytes
// are exactly what the description announces.
QImage kwinRawImage(const QVariantMap& results, const QByteArray& bytes);

}  // namespace tessal
