#pragma once

#include <QDBusConnection>
#include <QRect>
#include <QString>
#include <QTimer>
#include <memory>

#include "PostedCalls.h"
#include "VirtualPointer.h"

namespace tessal {

// Wheel turns on GNOME, which offers clients no virtual pointer: a remote-desktop session of
// GNOME's own (org.gnome.Mutter.RemoteDesktop). GNOME shows its sharing indicator while the
// session lives, so the session ends after a few idle seconds and is opened again at the next
// turn.
class MutterPointer final : public WheelPointer {
  public:
    static inline const QString service = QStringLiteral("org.gnome.Mutter.RemoteDesktop");

    // Null where GNOME's service is not on the bus.
    static std::unique_ptr<MutterPointer> open(QDBusConnection bus, const QRect& layout);
    ~MutterPointer() override;

    bool scroll(QPoint at, int notches, bool horizontal, QPoint park, const QRect& layout) override;
    // Opens the session, whose pointer GNOME is then ready to move 200 ms later.
    void prepare() override;

  private:
    static constexpr int kIdleMs = 5000;

    MutterPointer(QDBusConnection bus, const QRect& layout);
    bool start();
    void stop();
    bool notify(const QString& method, const QVariantList& arguments);
    void post(const QString& method, const QVariantList& arguments);

    QDBusConnection bus_;
    QRect layout_;
    QString session_;  // empty while stopped
    QPoint position_;  // where the session's pointer is
    QTimer idle_;
    PostedCalls posted_;
};

}  // namespace tessal
