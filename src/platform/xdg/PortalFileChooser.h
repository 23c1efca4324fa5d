#pragma once

#include <QDBusConnection>

#include "platform/FileChooser.h"

namespace tessal {

// The desktop's file chooser through xdg-desktop-portal's FileChooser interface. A session
// without that interface, a portal that refuses the request, does not take it within
// `callTimeoutMs`, answers with an error or leaves the bus before answering: unavailable, so
// the caller falls back to a dialog of its own. The user's choice itself is waited for as long
// as it takes.
class PortalFileChooser final : public FileChooser {
  public:
    explicit PortalFileChooser(QDBusConnection bus, int callTimeoutMs = 10'000)
        : bus_(std::move(bus)), callTimeoutMs_(callTimeoutMs) {}

    Answer save(const SaveRequest& request) override;

  private:
    QDBusConnection bus_;
    int callTimeoutMs_;
};

}  // namespace tessal
