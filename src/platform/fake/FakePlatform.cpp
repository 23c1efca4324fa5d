#include "FakePlatform.h"

#include "base/SerialQueue.h"

#include <QColor>
#include <QCoreApplication>
#include <cmath>

namespace tessal {

void FakeScreenCapture::addDisplay(const QString& id, const Rect& frame, double scale) {
    DisplayInfo info;
    info.id = id;
    info.frame = frame;
    info.visibleFrame = frame;
    info.scale = scale;
    displayList.push_back(info);
    shareableIds << id;
}

Result<ShareableContent> FakeScreenCapture::shareableContent() {
    if (whileAwaiting && onAwaitingUser) {
        const int before = cancels;
        onAwaitingUser(true);
        whileAwaiting();
        onAwaitingUser(false);
        if (cancels != before)
            return UserError{"Ostrel", cancelledByUser, QStringLiteral("cancelled")};
    }
    if (contentError) return *contentError;
    return ShareableContent{shareableIds};
}

Result<QImage> FakeScreenCapture::screenshot(const DisplayInfo& display, int pixelWidth,
                                             int pixelHeight) {
    ++screenshotCount;
    if (frozen) ++screenshotsWhileFrozen;
    if (screenshotError) return *screenshotError;
    std::size_t index = 0;
    while (index < displayList.size() && displayList[index].id != display.id) ++index;
    if (index < images.size() && !images[index].isNull()) return images[index];
    QImage image(pixelWidth, pixelHeight, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    return image;
}

int FakeHotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers) {
    ++registerCalls;
    if (refused.count({keyCode, modifiers})) return 0;
    const int reference = next_++;
    registered[reference] = {keyCode, modifiers};
    return reference;
}

bool FakePasteboard::setPng(const QByteArray& data) {
    if (refuse) return false;
    png = data;
    text.clear();
    return true;
}

std::uint64_t FakePasteboard::offerPng(std::shared_future<QByteArray> future) {
    if (refuse) return 0;
    offered = future;
    text.clear();
    png = pasteAtOnce ? future.get() : QByteArray();
    return ++offers;
}

void FakePasteboard::withdrawPng(std::uint64_t offer) {
    if (offer != offers) return;
    withdrawn = offer;
    offered.reset();
    png.clear();
}

bool FakePasteboard::setText(const QString& value) {
    if (refuse) return false;
    text = value;
    png.clear();
    return true;
}

AccessibleElement FakeAccessibility::add(const QString& path, std::optional<Rect> frame,
                                         std::optional<AccessibleElement> parent) {
    const AccessibleElement element{QStringLiteral(":1.1"), path};
    nodes[path] = Node{frame, parent, {}};
    if (parent) nodes[parent->path].children.push_back(element);
    return element;
}

std::optional<AccessibleElement> FakeAccessibility::application(int pid) {
    called();
    auto it = applications.find(pid);
    if (it == applications.end()) return std::nullopt;
    return it->second;
}

std::vector<AccessibleElement> FakeAccessibility::windows(const AccessibleElement& application) {
    called();
    auto it = nodes.find(application.path);
    return it == nodes.end() ? std::vector<AccessibleElement>{} : it->second.children;
}

std::optional<AccessibleElement> FakeAccessibility::elementAt(const AccessibleElement&, Point) {
    called();
    return hit;
}

std::optional<AccessibleElement> FakeAccessibility::parent(const AccessibleElement& element) {
    called();
    auto it = nodes.find(element.path);
    return it == nodes.end() ? std::nullopt : it->second.parent;
}

std::optional<Rect> FakeAccessibility::frame(const AccessibleElement& element) {
    called();
    auto it = nodes.find(element.path);
    return it == nodes.end() ? std::nullopt : it->second.frame;
}

std::vector<AccessibleElement> FakeAccessibility::children(const AccessibleElement& element,
                                                           int limit) {
    called();
    auto it = nodes.find(element.path);
    if (it == nodes.end()) return {};
    std::vector<AccessibleElement> list = it->second.children;
    if (int(list.size()) > limit) list.resize(limit);
    return list;
}

FakePlatform::FakePlatform() {
    auto c = std::make_unique<FakeScreenCapture>();
    auto h = std::make_unique<FakeHotKeys>();
    auto p = std::make_unique<FakePasteboard>();
    auto w = std::make_unique<FakeWorkspace>();
    auto a = std::make_unique<FakeAccessibility>();
    auto s = std::make_unique<FakeWindowStreams>();
    auto r = std::make_unique<FakeTextRecognizer>();
    auto l = std::make_unique<FakeLoginItem>();
    loginItem = l.get();
    platform.loginItem = std::move(l);
    windowStreams = s.get();
    textRecognizer = r.get();
    capture = c.get();
    hotKeys = h.get();
    pasteboard = p.get();
    workspace = w.get();
    accessibility = a.get();
    platform.capture = std::move(c);
    platform.hotKeys = std::move(h);
    platform.pasteboard = std::move(p);
    platform.workspace = std::move(w);
    platform.accessibility = std::move(a);
    platform.windowStreams = std::move(s);
    platform.textRecognizer = std::move(r);
}

Result<std::vector<RecognizedLine>> FakeTextRecognizer::recognize(const QImage& tile,
                                                                  const QStringList& wanted,
                                                                  const std::atomic<bool>* flag) {
    asked.push_back(wanted);
    flags.push_back(flag);
    tiles.push_back(tile.size());
    if (onRecognize) onRecognize();
    if (failure) return *failure;
    return answer ? answer(tile) : std::vector<RecognizedLine>{};
}

namespace {

class FakeKeyTap final : public KeyTap {
  public:
    explicit FakeKeyTap(std::optional<FakeWorkspace::Tap>& slot) : slot_(slot) {}
    ~FakeKeyTap() override { slot_.reset(); }

  private:
    std::optional<FakeWorkspace::Tap>& slot_;
};

}  // namespace

std::unique_ptr<KeyTap> FakeWorkspace::tapKeys(
    const WindowOwner& target, std::function<void(int keyCode, bool repeat)> onKey) {
    ++tapsStarted;
    tap = Tap{target, std::move(onKey)};
    return std::make_unique<FakeKeyTap>(tap);
}

bool FakeWorkspace::pressKey(int keyCode, bool repeat) {
    if (!tap) return false;
    auto onKey = tap->onKey;
    if (onKey) onKey(keyCode, repeat);
    return true;
}

struct FakeWindowStreams::Live final : WindowStream {
    Live(FakeWindowStreams& streams, SerialQueue& frames,
         std::function<void(const QImage&)> frameHandler,
         std::function<void(const UserError&)> stopHandler)
        : owner(streams),
          queue(frames),
          onFrame(std::move(frameHandler)),
          onStop(std::move(stopHandler)) {
        owner.live_ = this;
    }
    ~Live() override {
        if (owner.live_ == this) owner.live_ = nullptr;
    }
    FakeWindowStreams& owner;
    SerialQueue& queue;
    std::function<void(const QImage&)> onFrame;
    std::function<void(const UserError&)> onStop;
};

Result<std::unique_ptr<WindowStream>> FakeWindowStreams::start(
    unsigned id, SerialQueue& queue, std::function<void(const QImage& frame)> onFrame,
    std::function<void(const UserError& error)> onStop) {
    ++starts;
    if (refused.count(id))
        return UserError{"Zelmar", WindowStreamService::readFailure,
                         QCoreApplication::translate("FakePlatform", "无法读取窗口内容")};
    window = id;
    return std::unique_ptr<WindowStream>(
        new Live(*this, queue, std::move(onFrame), std::move(onStop)));
}

void FakeWindowStreams::push(const QImage& frame) {
    if (!live_) return;
    post(frame);
    live_->queue.flush();
}

void FakeWindowStreams::post(const QImage& frame) {
    if (live_) live_->queue.async([onFrame = live_->onFrame, frame] { onFrame(frame); });
}

void FakeWindowStreams::hold(std::shared_future<void> until) {
    if (live_) live_->queue.async([until] { until.wait(); });
}

void FakeWindowStreams::fail(const UserError& error) {
    if (!live_) return;
    live_->queue.async([onStop = live_->onStop, error] { onStop(error); });
    live_->queue.flush();
}

}  // namespace tessal
