#pragma once

#include "platform/Pasteboard.h"
#include "platform/Workspace.h"

namespace tessal {

// The CLIPBOARD selection; the program stays resident, so it keeps owning what it put there.
class QtPasteboard final : public Pasteboard {
  public:
    bool setPng(const QByteArray& png) override;
    bool setText(const QString& text) override;
};

class QtWorkspace final : public Workspace {
  public:
    bool openAddress(const QString& address) override;
    bool openAccessibilitySettings() override;
    bool grabInput(QWindow* window) override;
};

}  // namespace tessal
