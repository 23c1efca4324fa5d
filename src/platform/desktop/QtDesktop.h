#pragma once

#include <QMimeData>
#include <QPointer>

#include "platform/Pasteboard.h"
#include "platform/Workspace.h"

namespace tessal {

// The CLIPBOARD selection through Qt (X11 and Wayland alike); the program stays resident, so
// it keeps owning what it put there.
class QtPasteboard final : public Pasteboard {
  public:
    bool setPng(const QByteArray& png) override;
    std::uint64_t offerPng(std::shared_future<QByteArray> png) override;
    void withdrawPng(std::uint64_t offer) override;
    bool setText(const QString& text) override;

  private:
    QPointer<QMimeData> offered_;
    std::uint64_t offers_ = 0;
};

// What every Linux desktop offers alike: addresses, the file manager, the settings.
class DesktopWorkspace : public Workspace {
  public:
    bool openAddress(const QString& address) override;
    void revealFiles(const QStringList& paths) override;
    bool openAccessibilitySettings() override;
    // Through org.freedesktop.Notifications on the session bus.
    std::optional<QString> notify(const QString& summary, const QString& body) override;
};

}  // namespace tessal
