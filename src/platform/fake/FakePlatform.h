#pragma once

#include <QStringList>
#include <functional>
#include <future>
#include <map>
#include <optional>
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
    std::optional<PointerImage> pointer;
    std::optional<Point> pointerAt;  // pointerInWindowList()
    int screenshotCount = 0;
    bool frozen = false;  // a still is on screen
    int freezes = 0, releases = 0;
    int screenshotsWhileFrozen = 0;
    // shareableContent() waits as if the desktop asked the user: onAwaitingUser(true), then
    // `whileAwaiting` (what the user does meanwhile), then onAwaitingUser(false); a
    // cancelAwaitingUser() meanwhile makes it fail as cancelled.
    std::function<void()> whileAwaiting;
    int cancels = 0;

    // One display at the given frame and scale, shareable and filled with a colour.
    void addDisplay(const QString& id, const Rect& frame, double scale = 1.0);

    std::vector<DisplayInfo> displays() override { return displayList; }
    Result<ShareableContent> shareableContent() override;
    Result<QImage> screenshot(const DisplayInfo& display, int pixelWidth, int pixelHeight) override;
    QVariantList windowList() override { return windows; }
    bool preflight() override { return permission; }
    std::optional<PointerImage> pointerImage() override { return pointer; }
    std::optional<Point> pointerInWindowList() override { return pointerAt; }
    void freezeDisplays(const std::vector<DisplayInfo>&) override { frozen = true, ++freezes; }
    void releaseFrozenDisplays() override { frozen = false, ++releases; }
    void cancelAwaitingUser() override { ++cancels; }

    QStringList shareableIds;
};

class FakeHotKeys final : public HotKeyService {
  public:
    std::set<std::pair<std::uint32_t, std::uint32_t>> refused;
    std::map<int, std::pair<std::uint32_t, std::uint32_t>> registered;
    int registerCalls = 0;
    QString unavailable;  // a desktop without system-wide shortcuts

    int registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers) override;
    QString unavailableReason() const override { return unavailable; }
    void unregisterHotKey(int reference) override { registered.erase(reference); }
    int releasedHolds = 0;
    void releaseHeldKeys() override { ++releasedHolds; }
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
    // A paste right after every offer: `png` holds its bytes as soon as offerPng returns.
    // Off, the offer stays pending in `offered` (benchmarks time the offer alone).
    bool pasteAtOnce = true;
    std::optional<std::shared_future<QByteArray>> offered;
    std::uint64_t offers = 0;
    std::uint64_t withdrawn = 0;
    bool setPng(const QByteArray& data) override;
    std::uint64_t offerPng(std::shared_future<QByteArray> future) override;
    void withdrawPng(std::uint64_t offer) override;
    bool setText(const QString& value) override;
};

class FakeWorkspace final : public Workspace {
  public:
    QStringList opened;
    bool openAddress(const QString& address) override {
        opened << address;
        return true;
    }
    QList<QStringList> revealed;
    void revealFiles(const QStringList& paths) override { revealed << paths; }
    int settingsOpened = 0;
    bool openAccessibilitySettings() override {
        ++settingsOpened;
        return true;
    }
    // Summary and body of each notification shown; none is shown while `notifyFailure` is set.
    QList<QStringList> notifications;
    std::optional<QString> notifyFailure;
    std::optional<QString> notify(const QString& summary, const QString& body) override {
        if (notifyFailure) return notifyFailure;
        notifications << QStringList{summary, body};
        return std::nullopt;
    }
    int windowChangesSent = 0;
    void sendWindowChanges() override { ++windowChangesSent; }
    // Grab attempts refused before one succeeds (-1: never).
    int grabRefusals = 0;
    int grabAttempts = 0;
    bool grabInput(QWindow*) override {
        ++grabAttempts;
        if (grabRefusals < 0) return false;
        if (grabRefusals > 0) return --grabRefusals, false;
        return true;
    }

    // The active window's process and window (each 0 when unknown).
    int frontmostPid = 0;
    unsigned frontmostWindow = 0;
    std::vector<WindowOwner> activated;
    WindowOwner frontmost() override { return {frontmostPid, frontmostWindow}; }
    bool frontmostKnown = true;
    bool knowsFrontmost() const override { return frontmostKnown; }
    bool activate(const WindowOwner& owner) override {
        activated.push_back(owner);
        return true;
    }
    bool scrollRefused = false;
    bool shapedWindowsPassPointer = true;
    bool panelsPlaced = true;
    bool placesPanels() const override { return panelsPlaced; }
    bool pointerPassesShapedWindows() const override { return shapedWindowsPassPointer; }
    std::vector<ScrollRequest> scrolls;
    int scrollPreparations = 0;
    void prepareScrolling() override { ++scrollPreparations; }
    bool postScroll(const ScrollRequest& request) override {
        if (scrollRefused) return false;
        scrolls.push_back(request);
        return true;
    }
    // The live key tap, if any: its target and where its keys go.
    struct Tap {
        WindowOwner target;
        std::function<void(int, bool)> onKey;
    };
    std::optional<Tap> tap;
    int tapsStarted = 0;
    std::unique_ptr<KeyTap> tapKeys(const WindowOwner& target,
                                    std::function<void(int keyCode, bool repeat)> onKey) override;
    // A key as the tap would report it; false when no tap is live.
    bool pressKey(int keyCode, bool repeat = false);
};

// A window's content stream driven by the test: `push` hands over a frame as the window
// system would (on the stream's queue), `fail` ends the stream with an error.
class FakeWindowStreams final : public WindowStreamService {
  public:
    std::map<unsigned, QImage> refused;  // windows whose stream cannot start (value unused)
    int starts = 0;
    unsigned window = 0;
    bool covering = false;  // frames show what covers the window, as a compositor's do
    bool showsCoveringWindows() const override { return covering; }
    Result<std::unique_ptr<WindowStream>> start(
        unsigned window, SerialQueue& queue, std::function<void(const QImage& frame)> onFrame,
        std::function<void(const UserError& error)> onStop) override;
    bool running() const { return live_ != nullptr; }
    // Hands over a frame and waits until the stream's queue has run it.
    void push(const QImage& frame);
    // Hands over a frame without waiting: it is in flight until the queue runs it.
    void post(const QImage& frame);
    // Holds the stream's queue until `until` is ready, so frames posted meanwhile stay in flight.
    void hold(std::shared_future<void> until);
    void fail(const UserError& error);

  private:
    struct Live;
    friend struct Live;
    Live* live_ = nullptr;
};

// An accessibility tree built by the test: elements with frames, parents and children.
class FakeAccessibility final : public AccessibilityService {
  public:
    struct Node {
        std::optional<Rect> frame;  // top-left-origin global points
        std::optional<AccessibleElement> parent;
        std::vector<AccessibleElement> children;
    };
    bool trusted = true;
    int requests = 0;
    int prepared = 0;
    int calls = 0;
    std::map<int, AccessibleElement> applications;
    std::map<QString, Node> nodes;  // by path
    std::optional<AccessibleElement> hit;
    std::function<void()> onCall;  // e.g. lets time pass on each call

    // Adds an element under `parent` (or a root when none).
    AccessibleElement add(const QString& path, std::optional<Rect> frame,
                          std::optional<AccessibleElement> parent = std::nullopt);

    bool isTrusted() override { return trusted; }
    bool requestTrust() override {
        ++requests;
        return trusted;
    }
    std::optional<AccessibleElement> application(int pid) override;
    std::vector<AccessibleElement> windows(const AccessibleElement& application) override;
    std::optional<AccessibleElement> elementAt(const AccessibleElement&, Point) override;
    std::optional<AccessibleElement> parent(const AccessibleElement& element) override;
    std::optional<Rect> frame(const AccessibleElement& element) override;
    std::vector<AccessibleElement> children(const AccessibleElement& element, int limit) override;
    void prepare(const AccessibleElement&) override { ++prepared; }

  private:
    void called() {
        ++calls;
        if (onCall) onCall();
    }
};

// A recogniser that reads what the test wrote: `answer` gives the lines of each tile.
class FakeTextRecognizer final : public TextRecognizer {
  public:
    QStringList languages{QStringLiteral("zh-Hans"), QStringLiteral("zh-Hant"),
                          QStringLiteral("en-US")};
    std::optional<UserError> failure;
    std::function<std::vector<RecognizedLine>(const QImage& tile)> answer;
    std::function<void()> onRecognize;  // runs inside each request (e.g. to cancel it)
    std::vector<QStringList> asked;
    std::vector<QSize> tiles;
    std::vector<RecognizedLine> codeLines;            // what `codes` finds
    std::vector<QSize> codeImages;                    // each image `codes` was given
    std::vector<const std::atomic<bool>*> flags;      // of each request
    std::vector<const std::atomic<bool>*> cancelled;  // given to each cancel

    Result<QStringList> supportedLanguages(const std::atomic<bool>*) override { return languages; }
    Result<std::vector<RecognizedLine>> recognize(const QImage& tile, const QStringList& languages,
                                                  const std::atomic<bool>* cancelled) override;
    Result<std::vector<RecognizedLine>> codes(const QImage& image,
                                              const std::atomic<bool>*) override {
        codeImages.push_back(image.size());
        if (failure) return *failure;
        return codeLines;
    }
    void cancel(const std::atomic<bool>* flag) override { cancelled.push_back(flag); }
};

// A login item in memory; `refuse` makes every change fail.
class FakeLoginItem final : public LoginItem {
  public:
    bool enabled = false;
    bool refuse = false;
    bool isEnabled() const override { return enabled; }
    bool setEnabled(bool value) override {
        if (refuse) return false;
        enabled = value;
        return true;
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
    FakeWindowStreams* windowStreams;
    FakeTextRecognizer* textRecognizer;
    FakeLoginItem* loginItem;
};

}  // namespace tessal
