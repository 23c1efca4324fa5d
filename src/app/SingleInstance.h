#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace tessal {

// One running Tessal per desktop session: later starts hand their request (a single line such
// as "capture") to it over a local socket and exit.
class SingleInstance final : public QObject {
    Q_OBJECT
  public:
    // $XDG_RUNTIME_DIR/local.ostrel.sock, or one per user in the temporary folder.
    static QString socketPath();
    // Delivers a request to the running instance; false when none answers.
    static bool send(const QString& request, int timeoutMs = 1500);

    // Becomes the running instance; false when the socket cannot be taken.
    bool listen();
    std::function<void(const QString& request)> onRequest;

  private:
    QLocalServer* server_ = nullptr;
};

}  // namespace tessal
