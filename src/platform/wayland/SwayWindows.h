#pragma once

#include "CompositorWindows.h"

namespace tessal {

// sway and i3-compatible compositors: GET_TREE over the IPC socket.
class SwayWindows final : public CompositorWindows {
  public:
    explicit SwayWindows(QString socketPath, int timeoutMs = 100);
    std::optional<std::vector<CompositorWindow>> windows() override;

  private:
    QString socketPath_;
    int timeoutMs_;
};

// The windows shown in a GET_TREE reply, front to back: fullscreen ones, then floating ones
// (the last drawn first), then tiled ones. Nothing when the reply is not a tree.
std::optional<std::vector<CompositorWindow>> swayWindowsFromTree(const QByteArray& json);

// An IPC message: the magic, the payload's length and the type (native byte order), the payload.
QByteArray swayMessage(quint32 type, const QByteArray& payload = {});

}  // namespace tessal
