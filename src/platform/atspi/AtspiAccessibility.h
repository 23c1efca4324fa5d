#pragma once

#include <QDBusConnection>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/AccessibilityService.h"
#include "platform/DisplayMapping.h"

namespace tessal {

// Accessibility over AT-SPI, spoken directly over D-Bus. Trusted when the accessibility bus
// answers and reports itself enabled (org.a11y.Status.IsEnabled). Element calls go to the
// accessibility bus, each with its own timeout and never past the thread's deadline; AT-SPI
// frames are root-window pixels.
class AtspiAccessibility final : public AccessibilityService {
  public:
    // `sessionAddress`: the session bus to find the accessibility bus on (empty = the
    // desktop's own).
    explicit AtspiAccessibility(int timeoutMs = 250, QString sessionAddress = {});
    bool isTrusted() override;
    bool requestTrust() override;

    std::optional<AccessibleElement> application(int pid) override;
    std::vector<AccessibleElement> windows(const AccessibleElement& application) override;
    std::optional<AccessibleElement> elementAt(const AccessibleElement& application,
                                               Point point) override;
    std::optional<AccessibleElement> parent(const AccessibleElement& element) override;
    std::optional<Rect> frame(const AccessibleElement& element) override;
    std::vector<AccessibleElement> children(const AccessibleElement& element, int limit) override;
    void prepare(const AccessibleElement&) override {}

    // The display layout used to turn pixels into points; refreshed from the main thread.
    void refreshDisplays() override;

  private:
    QDBusConnection session();
    std::optional<QDBusConnection> bus();
    // The time the next call may wait: its own timeout or what is left before the thread's
    // deadline; 0 when the deadline has passed (the call is not made).
    int callTimeout() const;
    QDBusMessage call(QDBusConnection& connection, const QDBusMessage& message);
    std::optional<QRect> nativeExtents(const AccessibleElement& element);

    int timeoutMs_;
    QString sessionAddress_;
    std::mutex mutex_;
    std::optional<QString> busAddress_;
    std::vector<DisplayMapping> displays_;
};

}  // namespace tessal
