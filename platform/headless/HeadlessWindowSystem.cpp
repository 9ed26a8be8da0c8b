#include "platform/headless/HeadlessWindowSystem.h"

#include <algorithm>
#include <cstring>

namespace glimsel_headless {

namespace {

// Virtual time comparisons survive the wrap of the 32-bit clock.
bool notAfter(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) <= 0; }

// A drawing target that records what is drawn.
class HeadlessDeviceContext : public glimsel_ui::DeviceContext {
public:
    HeadlessDeviceContext(HeadlessWindowSystem& system, NativeWindow window) : system(system), window(window) {}

    void selectPalette(const glimsel_ui::PaletteEntry*, int) override { add(DrawCall::Palette, Rect{}); }
    void fillBlack(const Rect& r) override { add(DrawCall::Fill, r); }
    Size textExtent(char const* text) override {
        return Size{static_cast<int>(8 * std::strlen(text)), 16};
    }
    void textOut(int x, int y, char const* text) override {
        Size s = textExtent(text);
        DrawCall& call = add(DrawCall::Text, Rect{x, y, x + s.width, y + s.height});
        call.text = text;
    }
    void stretchDib(int x, int y, int width, int height, const BITMAPINFO* info, uint32_t, const void*,
                    uint32_t) override {
        DrawCall& call = add(DrawCall::Dib, Rect{x, y, x + width, y + height});
        if (info) {
            call.sourceWidth = info->bmiHeader.biWidth;
            int64_t h = info->bmiHeader.biHeight;
            call.sourceHeight = static_cast<int>(h < 0 ? -h : h);
        }
    }

private:
    DrawCall& add(DrawCall::Kind kind, const Rect& r) {
        system.drawLog.push_back(DrawCall{kind, window, system.now(), r, std::string(), 0, 0});
        return system.drawLog.back();
    }

    HeadlessWindowSystem& system;
    NativeWindow window;
};

}  // namespace

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

std::map<int, unsigned> HeadlessWindowSystem::timers(NativeWindow window) const {
    std::map<int, unsigned> result;
    for (const auto& t : timerTable) {
        if (t.first.first == window) result[t.first.second] = t.second.period;
    }
    return result;
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
    setNative(w, id);
    if (w.onCreate() == -1) {
        windows.erase(id);
        records[id].alive = false;
        setNative(w, 0);
        return false;
    }
    if (style & glimsel_ui::STYLE_VISIBLE) queue.push_back(Message{Message::Paint, id});
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
    for (auto it = timerTable.begin(); it != timerTable.end();) {
        it = it->first.first == window ? timerTable.erase(it) : std::next(it);
    }
    queue.erase(std::remove_if(queue.begin(), queue.end(), [&](const Message& m) { return m.window == window; }),
                queue.end());
    windows.erase(window);
    records[window].alive = false;
    setNative(*w, 0);
    if (w == mainWindow) {
        mainWindow = nullptr;
        postQuit(0);
    }
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

void HeadlessWindowSystem::setMainWindow(Window* w) { mainWindow = w; }

void HeadlessWindowSystem::setTimer(Window& w, int id, unsigned periodMs) {
    timerTable[{w.handle(), id}] = TimerState{periodMs, clock + periodMs, false};
}

void HeadlessWindowSystem::killTimer(Window& w, int id) {
    timerTable.erase({w.handle(), id});
    queue.erase(std::remove_if(queue.begin(), queue.end(),
                               [&](const Message& m) {
                                   return m.kind == Message::Timer && m.window == w.handle() && m.timerId == id;
                               }),
                queue.end());
}

void HeadlessWindowSystem::postClose(Window& w) { queue.push_back(Message{Message::Close, w.handle()}); }

void HeadlessWindowSystem::postQuit(int exitCode) {
    quitPending = true;
    pendingQuitCode = exitCode;
}

void HeadlessWindowSystem::scheduleInput(uint32_t at, const InputEvent& event, NativeWindow window) {
    script.push_back(ScheduledInput{at, event, window, nullptr});
}

void HeadlessWindowSystem::scheduleAction(uint32_t at, std::function<void()> action) {
    script.push_back(ScheduledInput{at, InputEvent{}, 0, std::move(action)});
}

void HeadlessWindowSystem::collectDue() {
    for (auto& t : timerTable) {
        if (!t.second.queued && notAfter(t.second.due, clock)) {
            t.second.queued = true;
            Message m{Message::Timer, t.first.first};
            m.timerId = t.first.second;
            queue.push_back(m);
        }
    }
    for (auto it = script.begin(); it != script.end();) {
        if (notAfter(it->at, clock)) {
            if (it->action) {
                Message m{Message::Action, 0};
                m.action = std::move(it->action);
                queue.push_back(std::move(m));
                it = script.erase(it);
                continue;
            }
            NativeWindow target = it->window;
            if (!target && mainWindow) target = mainWindow->handle();
            Message m{Message::Input, target};
            m.input = it->event;
            queue.push_back(m);
            it = script.erase(it);
        } else {
            ++it;
        }
    }
}

bool HeadlessWindowSystem::nextEventTime(uint32_t& at) const {
    bool found = false;
    auto consider = [&](uint32_t t) {
        if (!found || static_cast<int32_t>(t - at) < 0) at = t;
        found = true;
    };
    for (const auto& t : timerTable) {
        if (!t.second.queued) consider(t.second.due);
    }
    for (const auto& s : script) consider(s.at);
    return found;
}

void HeadlessWindowSystem::advance(uint32_t ms) {
    clock += ms;
    collectDue();
}

bool HeadlessWindowSystem::messageWaiting() {
    collectDue();
    return !queue.empty() || quitPending;
}

bool HeadlessWindowSystem::dispatchOneMessage() {
    collectDue();
    if (!queue.empty()) {
        Message m = std::move(queue.front());
        queue.pop_front();
        ++dispatched;
        deliver(m);
        return true;
    }
    if (quitPending) {
        quitPending = false;
        lastQuit = pendingQuitCode;
        return false;
    }
    return true;
}

void HeadlessWindowSystem::deliver(const Message& m) {
    if (m.kind == Message::Action) {
        m.action();
        return;
    }
    Window* w = find(m.window);
    if (!w) return;  // a request for a window that is gone has no effect
    switch (m.kind) {
        case Message::Timer: {
            auto it = timerTable.find({m.window, m.timerId});
            if (it == timerTable.end()) return;
            it->second.queued = false;
            it->second.due = clock + it->second.period;
            w->onTimer(m.timerId);
            break;
        }
        case Message::Paint: {
            std::unique_ptr<glimsel_ui::DeviceContext> dc = getDC(*w);
            w->onPaint(*dc);
            break;
        }
        case Message::Close:
            w->onClose();
            break;
        case Message::Input:
            deliverInput(*w, m.input);
            break;
        case Message::Action:
            break;
    }
}

void HeadlessWindowSystem::deliverInput(Window& w, const InputEvent& e) {
    switch (e.kind) {
        case InputEvent::MouseMove: w.onMouseMove(e.x, e.y); break;
        case InputEvent::Button: w.onButtonDown(e.button); break;
        case InputEvent::Key: w.onKeyDown(false); break;
        case InputEvent::SystemKey: w.onKeyDown(true); break;
        case InputEvent::Activate: w.onActivate(e.active); break;
        case InputEvent::ActivateApp: w.onActivateApp(e.active); break;
        case InputEvent::NcActivate: w.onNcActivate(e.active); break;
        case InputEvent::SysCommand:
            // The default processing of a close command posts a close request.
            if (!w.onSysCommand(e.command) && e.command == SystemCommand::Close) postClose(w);
            break;
        case InputEvent::SetCursor: w.onSetCursor(); break;
    }
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
        if (!dispatchOneMessage()) return lastQuit;
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
        if (!dispatchOneMessage()) return lastQuit;
    }
}

std::unique_ptr<glimsel_ui::DeviceContext> HeadlessWindowSystem::getDC(Window& w) {
    return std::make_unique<HeadlessDeviceContext>(*this, w.handle());
}

}  // namespace glimsel_headless
