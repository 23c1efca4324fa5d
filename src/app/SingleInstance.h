#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QLocalServer;

namespace tessal {

// One running Tessal per desktop session: later starts hand their request (a single line such
// as "capture") to it over a local socket and exit.
class SingleInstance final : public QObject {
    Q_OBJECT
  public:
    // LocalPeer::requestSocketName in this user's private folder (LocalPeer::privateFolder);
    // empty when there is no safe one.
    static QString socketPath();
    // Delivers a request to the running instance of this user; false when none answers.
    static bool send(const QString& request, int timeoutMs = 1500);
    // The same, with the instance's answer: "ok", possibly followed by a space and a note for
    // the terminal, or LocalPeer::busyAnswerPrefix and why a capture is refused; nothing when
    // no instance answers. `delivered` as for LocalPeer::askListener.
    static std::optional<QString> ask(const QString& request, int timeoutMs = 1500,
                                      bool* delivered = nullptr);

    // The lock beside the socket that the running instance holds for its whole life.
    static QString lockPath();

    // Takes the lock: true when this process is to be the running instance. False while another
    // live process holds it (the running instance, or one still starting); a lock left by a
    // process that died is taken over.
    bool acquire();
    // Hands `request` to the instance that holds the lock, waiting up to `seconds` for it to
    // start listening; its answer (as ask's), nothing when it never answers. Once the request
    // was delivered it is not sent again (`delivered` says so): the instance acts on each copy.
    static std::optional<QString> handOver(const QString& request, double seconds,
                                           bool* delivered = nullptr);

    // Listens for later starts of this user's (others' connections are closed unread); call
    // after acquire(). False when the socket cannot be made.
    bool listen();
    // Handles a request and returns the answer line (see ask); without a handler, "ok".
    std::function<QString(const QString& request)> onRequest;

  private:
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace tessal
