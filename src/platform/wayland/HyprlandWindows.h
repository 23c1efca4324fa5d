#pragma once

#include "CompositorWindows.h"

namespace tessal {

// Hyprland: its request socket (j/clients, j/monitors, the border width, j/cursorpos).
class HyprlandWindows final : public CompositorWindows {
  public:
    explicit HyprlandWindows(QString socketPath, int timeoutMs = 100);
    std::optional<std::vector<CompositorWindow>> windows() override;
    std::optional<QPoint> pointer() override;
    // Where the running instance's request socket is: in the runtime folder (Hyprland 0.40 and
    // later) or in /tmp (before); empty when neither exists.
    static QString socketPath(const QString& signature);

  private:
    QString socketPath_;
    int timeoutMs_;
};

// The windows shown on the monitors' active (and open special) workspaces, front to back:
// fullscreen ones, floating ones, tiled ones, each by how recently they had the focus. Frames
// include the border drawn around each window. Nothing when the replies are not lists.
std::optional<std::vector<CompositorWindow>> hyprlandWindowsFrom(const QByteArray& clients,
                                                                 const QByteArray& monitors,
                                                                 int borderSize);
// The pointer's place from j/cursorpos ({"x": …, "y": …}); nothing for any other reply.
std::optional<QPoint> hyprlandPointerFrom(const QByteArray& reply);

}  // namespace tessal
