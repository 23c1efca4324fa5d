#pragma once

#include <QSet>

#include "CompositorWindows.h"

namespace tessal {

// sway and i3-compatible compositors: GET_TREE over the IPC socket.
class SwayWindows final : public CompositorWindows {
  public:
    explicit SwayWindows(QString socketPath, int timeoutMs = 100);
    std::optional<std::vector<CompositorWindow>> windows() override;
    // `[con_id=N] focus`.
    bool focus(unsigned id) override;
    // no_focus the first time; floating, sticky, no border and `move absolute position` for the
    // window, or a for_window rule doing that when it maps.
    bool keepPanel(int pid, const QString& title, const QRect& frame) override;
    bool placesPanels() const override { return true; }

  private:
    // A RUN_COMMAND; whether every command in it succeeded.
    bool command(const QByteArray& text);

    QString socketPath_;
    int timeoutMs_;
    QSet<QByteArray> ruled_;
};

// The windows shown in a GET_TREE reply, front to back: fullscreen ones, then floating ones
// (the last drawn first), then tiled ones. Nothing when the reply is not a tree.
std::optional<std::vector<CompositorWindow>> swayWindowsFromTree(const QByteArray& json);

// An IPC message: the magic, the payload's length and the type (native byte order), the payload.
QByteArray swayMessage(quint32 type, const QByteArray& payload = {});

// Whether a RUN_COMMAND reply says every command succeeded.
bool swayCommandSucceeded(const QByteArray& json);

// The criteria that pick our window titled exactly `title`.
QByteArray swayPanelCriteria(int pid, const QString& title);

}  // namespace tessal
