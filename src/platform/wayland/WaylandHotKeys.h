#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>

#include "platform/HotKeyService.h"

namespace tessal {

// The capture shortcut through the xdg-desktop-portal GlobalShortcuts interface, where the
// desktop offers it: one session, one shortcut "capture" described as "截图" with the stored
// combination as the preferred trigger (the desktop's own dialog has the last word). Without
// the portal nothing can be registered, and the user binds `tessal capture` in the desktop's
// keyboard settings.
class WaylandHotKeys final : public QObject, public HotKeyService {
    Q_OBJECT
  public:
    explicit WaylandHotKeys(QDBusConnection bus = QDBusConnection::sessionBus(),
                            int timeoutMs = 15'000);

    int registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers) override;
    void unregisterHotKey(int reference) override;
    QString unavailableReason() const override;

    // The portal's trigger text for a combination ("CTRL+SHIFT+a"), empty when the key has no
    // name there.
    static QString trigger(std::uint32_t keyCode, std::uint32_t modifiers);

  private Q_SLOTS:
    void onActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                     const QVariantMap& options);

  private:
    bool portalPresent() const;

    QDBusConnection bus_;
    int timeoutMs_;
    QString session_;
    int reference_ = 0;
    int references_ = 0;
};

}  // namespace tessal
