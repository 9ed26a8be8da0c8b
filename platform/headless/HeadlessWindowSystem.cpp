#include "platform/headless/HeadlessWindowSystem.h"

#include <algorithm>
#include <cstring>

#include "imaging/DibRenderer.h"

namespace glimsel_headless {

using glimsel_ui::QueuedMessage;

namespace {

// A window's frame is made only up to this size: larger windows draw nothing.
constexpr int64_t MAX_FRAME_PIXELS = 16 * 1024 * 1024;

constexpr uint32_t BLACK = 0x00000000;
constexpr uint32_t WHITE = 0x00FFFFFF;

}  // namespace

// A drawing target that records what is drawn and draws it into the window's frame.
class HeadlessDeviceContext : public glimsel_ui::DeviceContext {
public:
    HeadlessDeviceContext(HeadlessWindowSystem& system, NativeWindow window) : system(system), window(window) {}

    void selectPalette(const glimsel_ui::PaletteEntry*, int) override { add(DrawCall::Palette, Rect{}); }
    void fillBlack(const Rect& r) override {
        add(DrawCall::Fill, r);
        fill(r, BLACK);
    }
    Size textExtent(char const* text) override {
        return Size{static_cast<int>(8 * std::strlen(text)), 16};
    }
    void textOut(int x, int y, char const* text) override {
        Size s = textExtent(text);
        Rect box{x, y, x + s.width, y + s.height};
        DrawCall& call = add(DrawCall::Text, box);
        call.text = text;
        fill(box, WHITE);
    }
    void stretchDib(int x, int y, int width, int height, const BITMAPINFO* info, uint32_t infoBytes,
                    const void* bits, uint32_t bitsBytes) override {
        DrawCall& call = add(DrawCall::Dib, Rect{x, y, x + width, y + height});
        if (info) {
            call.sourceWidth = info->bmiHeader.biWidth;
            int64_t h = info->bmiHeader.biHeight;
            call.sourceHeight = static_cast<int>(h < 0 ? -h : h);
        }
        img_lib::Canvas c = canvas();
        if (c.pixels) img_lib::drawDib(c, img_lib::Rect{x, y, width, height}, info, infoBytes, bits, bitsBytes);
    }
    // Every picture goes through stretchDib, so that the log shows each one.
    bool pixelsFor(const Rect&, img_lib::Canvas&) override { return false; }
    void showPixels(const Rect&) override {}
    void restorePixels(const Rect&) override {}

private:
    DrawCall& add(DrawCall::Kind kind, const Rect& r) {
        system.drawLog.push_back(DrawCall{kind, window, system.now(), r, std::string(), 0, 0});
        return system.drawLog.back();
    }
    img_lib::Canvas canvas() {
        auto it = system.frames.find(window);
        if (it == system.frames.end() || it->second.pixels.empty()) return img_lib::Canvas{};
        HeadlessWindowSystem::Frame& f = it->second;
        return img_lib::Canvas{f.pixels.data(), f.width, f.height, f.width};
    }
    void fill(const Rect& r, uint32_t colour) {
        img_lib::Canvas c = canvas();
        int left = std::max(r.left, 0);
        int right = std::min(r.right, c.width);
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, c.height); ++y) {
            for (int x = left; x < right; ++x) c.pixels[static_cast<size_t>(y) * c.stride + x] = colour;
        }
    }

    HeadlessWindowSystem& system;
    NativeWindow window;
};

HeadlessWindowSystem::HeadlessWindowSystem(Size screen) : screen(screen) {}

HeadlessWindowSystem::~HeadlessWindowSystem() = default;

Window* HeadlessWindowSystem::find(NativeWindow window) const {
    auto it = windows.find(window);
    return it == windows.end() ? nullptr : it->second;
}

const HeadlessWindowSystem::WindowRecord* HeadlessWindowSystem::record(NativeWindow window) const {
    auto it = records.find(window);
    return it == records.end() ? nullptr : &it->second;
}

bool HeadlessWindowSystem::windowExists(NativeWindow window) const {
    const WindowRecord* r = record(window);
    return r && r->alive;
}

uint32_t HeadlessWindowSystem::pixel(NativeWindow window, int x, int y) const {
    auto it = frames.find(window);
    if (it == frames.end()) return UNPAINTED;
    const Frame& f = it->second;
    if (x < 0 || y < 0 || x >= f.width || y >= f.height || f.pixels.empty()) return UNPAINTED;
    return f.pixels[static_cast<size_t>(y) * f.width + x];
}

NativeWindow HeadlessWindowSystem::addForeignWindow(const Rect& client) {
    NativeWindow id = nextId++;
    WindowRecord r;
    r.rect = client;
    r.foreign = true;
    records[id] = r;
    return id;
}

void HeadlessWindowSystem::destroyForeignWindow(NativeWindow window) {
    auto it = records.find(window);
    if (it == records.end() || !it->second.foreign) return;
    it->second.alive = false;
    std::vector<NativeWindow> children;
    for (const auto& r : records) {
        if (r.second.parent == window && r.second.alive && !r.second.foreign) children.push_back(r.first);
    }
    for (NativeWindow child : children) destroy(child);
}

bool HeadlessWindowSystem::createWindow(Window& w, unsigned exStyle, unsigned style, const Rect& r,
                                        NativeWindow parent) {
    if (parent && !windowExists(parent)) return false;
    NativeWindow id = nextId++;
    WindowRecord rec;
    rec.exStyle = exStyle;
    rec.style = style;
    rec.rect = r;
    rec.parent = parent;
    records[id] = rec;
    windows[id] = &w;
    Frame& frame = frames[id];
    frame.width = std::max(r.width(), 0);
    frame.height = std::max(r.height(), 0);
    if (static_cast<int64_t>(frame.width) * frame.height <= MAX_FRAME_PIXELS) {
        frame.pixels.assign(static_cast<size_t>(frame.width) * frame.height, UNPAINTED);
    }
    setNative(w, id);
    if (w.onCreate() == -1) {
        windows.erase(id);
        frames.erase(id);
        records[id].alive = false;
        setNative(w, 0);
        return false;
    }
    if (style & glimsel_ui::STYLE_VISIBLE) messages.post(QueuedMessage{QueuedMessage::Paint, id});
    return true;
}

void HeadlessWindowSystem::destroyWindow(Window& w) { destroy(w.handle()); }

void HeadlessWindowSystem::destroy(NativeWindow window) {
    Window* w = find(window);
    if (!w) return;
    // Children go first, as with the platform's window tree.
    std::vector<NativeWindow> children;
    for (const auto& r : records) {
        if (r.second.parent == window && r.second.alive) children.push_back(r.first);
    }
    for (NativeWindow child : children) destroy(child);

    w->onDestroy();
    messages.windowGone(*w);
    windows.erase(window);
    records[window].alive = false;
    setNative(*w, 0);
    w->postNcDestroy();  // may delete w
}

Rect HeadlessWindowSystem::clientRect(const Window& w) {
    const WindowRecord* r = record(w.handle());
    if (!r) return Rect{};
    return Rect{0, 0, r->rect.width(), r->rect.height()};
}

bool HeadlessWindowSystem::foreignClientRect(NativeWindow window, Rect& out) {
    const WindowRecord* r = record(window);
    if (!r || !r->alive) return false;
    out = Rect{0, 0, r->rect.width(), r->rect.height()};
    return true;
}

void HeadlessWindowSystem::setMainWindow(Window* w) { messages.setMainWindow(w); }

void HeadlessWindowSystem::setTimer(Window& w, int id, unsigned periodMs) {
    messages.setTimer(w.handle(), id, periodMs, clock);
}

void HeadlessWindowSystem::killTimer(Window& w, int id) { messages.killTimer(w.handle(), id); }

void HeadlessWindowSystem::postClose(Window& w) { messages.postClose(w.handle()); }

void HeadlessWindowSystem::postQuit(int exitCode) { messages.postQuit(exitCode); }

void HeadlessWindowSystem::scheduleInput(uint32_t at, const InputEvent& event, NativeWindow window) {
    script.push_back(ScheduledInput{at, event, window, nullptr});
}

void HeadlessWindowSystem::scheduleAction(uint32_t at, std::function<void()> action) {
    script.push_back(ScheduledInput{at, InputEvent{}, 0, std::move(action)});
}

void HeadlessWindowSystem::collectDue() {
    messages.collectTimers(clock);
    for (auto it = script.begin(); it != script.end();) {
        if (!glimsel_ui::notAfter(it->at, clock)) {
            ++it;
            continue;
        }
        if (it->action) {
            QueuedMessage m{QueuedMessage::Action, 0};
            m.action = std::move(it->action);
            messages.post(std::move(m));
        } else {
            NativeWindow target = it->window;
            if (!target && messages.main()) target = messages.main()->handle();
            messages.postEvent(target, it->event);
        }
        it = script.erase(it);
    }
}

bool HeadlessWindowSystem::nextEventTime(uint32_t& at) const {
    bool found = messages.nextTimer(at);
    for (const auto& s : script) {
        if (!found || static_cast<int32_t>(s.at - at) < 0) at = s.at;
        found = true;
    }
    return found;
}

void HeadlessWindowSystem::advance(uint32_t ms) {
    clock += ms;
    collectDue();
}

bool HeadlessWindowSystem::messageWaiting() {
    collectDue();
    return messages.waiting();
}

bool HeadlessWindowSystem::dispatchOneMessage() {
    collectDue();
    QueuedMessage m{QueuedMessage::Action};
    switch (messages.take(m)) {
        case glimsel_ui::MessageQueue::Taken::Message:
            ++dispatched;
            deliver(m);
            return true;
        case glimsel_ui::MessageQueue::Taken::Quit: return false;
        case glimsel_ui::MessageQueue::Taken::Nothing: return true;
    }
    return true;
}

void HeadlessWindowSystem::deliver(const QueuedMessage& m) {
    if (m.kind == QueuedMessage::Action) {
        m.action();
        return;
    }
    Window* w = find(m.window);
    if (!w) return;  // a request for a window that is gone has no effect
    if (m.kind == QueuedMessage::Paint) {
        std::unique_ptr<glimsel_ui::DeviceContext> dc = getDC(*w);
        w->onPaint(*dc);
        return;
    }
    messages.deliver(*w, m, clock);
}

bool HeadlessWindowSystem::idle(int) { return false; }

void HeadlessWindowSystem::waitForMessage(uint32_t ms) {
    if (messageWaiting()) return;
    uint32_t target = clock + ms;
    uint32_t next;
    if (nextEventTime(next) && static_cast<int32_t>(next - target) < 0 && static_cast<int32_t>(next - clock) > 0) {
        target = next;
    }
    clock = target;
    collectDue();
}

int HeadlessWindowSystem::runUntil(uint32_t until) {
    for (;;) {
        if (static_cast<int32_t>(clock - until) > 0) return -1;
        if (!messageWaiting()) {
            uint32_t next;
            if (!nextEventTime(next) || static_cast<int32_t>(next - until) > 0) {
                // The clock only moves forward: a flash may have carried it past `until`.
                if (static_cast<int32_t>(until - clock) > 0) clock = until;
                return -1;
            }
            if (static_cast<int32_t>(next - clock) > 0) clock = next;
            continue;
        }
        if (!dispatchOneMessage()) return messages.quitCode();
    }
}

int HeadlessWindowSystem::runMessageLoop() {
    for (;;) {
        if (!messageWaiting()) {
            uint32_t next;
            if (!nextEventTime(next)) return -1;  // nothing left that could ever happen
            if (static_cast<int32_t>(next - clock) > 0) clock = next;
            continue;
        }
        if (!dispatchOneMessage()) return messages.quitCode();
    }
}

std::unique_ptr<glimsel_ui::DeviceContext> HeadlessWindowSystem::getDC(Window& w) {
    return std::make_unique<HeadlessDeviceContext>(*this, w.handle());
}

}  // namespace glimsel_headless
