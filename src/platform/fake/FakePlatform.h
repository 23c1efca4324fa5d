#pragma once

#include <QStringList>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace tessal {

// Test doubles for every platform service. Each records what was asked of it and answers
// with whatever the test put in its public fields.

class FakeScreenCapture final : public ScreenCaptureService {
  public:
    std::vector<DisplayInfo> displayList;
    std::vector<QImage> images;  // by display index; a missing image is filled grey
    QVariantList windows;
    std::optional<UserError> contentError;
    std::optional<UserError> screenshotError;
    bool permission = true;
    int screenshotCount = 0;

    // One display at the given frame and scale, shareable and filled with a colour.
    void addDisplay(const QString& id, const Rect& frame, double scale = 1.0);

    std::vector<DisplayInfo> displays() override { return displayList; }
    Result<ShareableContent> shareableContent() override;
    Result<QImage> screenshot(const DisplayInfo& display, int pixelWidth, int pixelHeight) override;
    QVariantList windowList() override { return windows; }
    bool preflight() override { return permission; }

    QStringList shareableIds;
};

class FakeHotKeys final : public HotKeyService {
  public:
    std::set<std::pair<std::uint32_t, std::uint32_t>> refused;
    std::map<int, std::pair<std::uint32_t, std::uint32_t>> registered;
    int registerCalls = 0;

    int registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers) override;
    void unregisterHotKey(int reference) override { registered.erase(reference); }
    void press(int reference) {
        if (onPressed) onPressed(reference);
    }

  private:
    int next_ = 1;
};

class FakePasteboard final : public Pasteboard {
  public:
    QByteArray png;
    QString text;
    bool refuse = false;
    bool setPng(const QByteArray& data) override;
    bool setText(const QString& value) override;
};

class FakeWorkspace final : public Workspace {
  public:
    QStringList opened;
    bool openAddress(const QString& address) override {
        opened << address;
        return true;
    }
    int settingsOpened = 0;
    bool openAccessibilitySettings() override {
        ++settingsOpened;
        return true;
    }
};

class FakeAccessibility final : public AccessibilityService {
  public:
    bool trusted = true;
    int requests = 0;
    bool isTrusted() override { return trusted; }
    bool requestTrust() override {
        ++requests;
        return trusted;
    }
};

// A Platform whose services are the fakes above, reachable through typed pointers.
struct FakePlatform {
    FakePlatform();
    Platform platform;
    FakeScreenCapture* capture;
    FakeHotKeys* hotKeys;
    FakePasteboard* pasteboard;
    FakeWorkspace* workspace;
    FakeAccessibility* accessibility;
};

}  // namespace tessal
