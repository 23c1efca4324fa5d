#pragma once

#include <QObject>

class QSocketNotifier;

namespace tessal {

// Ends the event loop on SIGTERM, SIGINT or SIGHUP (logout, `kill`, Ctrl+C in a terminal), so
// a quit from outside takes the same way out as the menu's: worker queues closed, the socket
// and its lock released. The handler only writes to a pipe; the quit itself runs on the main
// thread.
class QuitOnSignal final : public QObject {
    Q_OBJECT
  public:
    QuitOnSignal();
    ~QuitOnSignal() override;

  private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tessal
