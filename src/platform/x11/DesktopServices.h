#pragma once

#include <QMimeData>
#include <QPointer>

#include "platform/Pasteboard.h"
#include "platform/Workspace.h"

namespace tessal {

// The CLIPBOARD selection; the program stays resident, so it keeps owning what it put there.
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

class QtWorkspace final : public Workspace {
  public:
    bool openAddress(const QString& address) override;
    void revealFiles(const QStringList& paths) override;
    bool openAccessibilitySettings() override;
    bool grabInput(QWindow* window) override;
    int frontmostPid() override;
    bool activate(int pid) override;
    bool postScroll(Point point, int notches, bool horizontal) override;
    std::unique_ptr<KeyTap> tapKeys(int targetPid,
                                    std::function<void(int keyCode, bool repeat)> onKey) override;
};

}  // namespace tessal
