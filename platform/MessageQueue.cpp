#include "platform/MessageQueue.h"

#include <algorithm>
#include <iterator>

namespace glimsel_ui {

void MessageQueue::postEvent(NativeWindow window, const WindowEvent& e) {
    QueuedMessage m{QueuedMessage::Event, window};
    m.event = e;
    post(std::move(m));
}

void MessageQueue::postClose(NativeWindow window) { post(QueuedMessage{QueuedMessage::Close, window}); }

void MessageQueue::postQuit(int exitCode) {
    quitPending = true;
    pendingQuit = exitCode;
}

void MessageQueue::setTimer(NativeWindow window, int id, unsigned periodMs, uint32_t now) {
    killTimer(window, id);
    timerTable[{window, id}] = TimerState{periodMs, now + periodMs, false};
}

void MessageQueue::killTimer(NativeWindow window, int id) {
    timerTable.erase({window, id});
    queue.erase(std::remove_if(queue.begin(), queue.end(),
                               [&](const QueuedMessage& m) {
                                   return m.kind == QueuedMessage::Timer && m.window == window && m.timerId == id;
                               }),
                queue.end());
}

std::map<int, unsigned> MessageQueue::timers(NativeWindow window) const {
    std::map<int, unsigned> result;
    for (const auto& t : timerTable) {
        if (t.first.first == window) result[t.first.second] = t.second.period;
    }
    return result;
}

void MessageQueue::collectTimers(uint32_t now) {
    for (auto& t : timerTable) {
        if (!t.second.queued && notAfter(t.second.due, now)) {
            t.second.queued = true;
            QueuedMessage m{QueuedMessage::Timer, t.first.first};
            m.timerId = t.first.second;
            post(std::move(m));
        }
    }
}

bool MessageQueue::nextTimer(uint32_t& due) const {
    bool found = false;
    for (const auto& t : timerTable) {
        if (t.second.queued) continue;
        if (!found || static_cast<int32_t>(t.second.due - due) < 0) due = t.second.due;
        found = true;
    }
    return found;
}

MessageQueue::Taken MessageQueue::take(QueuedMessage& out) {
    if (!queue.empty()) {
        out = std::move(queue.front());
        queue.pop_front();
        return Taken::Message;
    }
    if (quitPending) {
        quitPending = false;
        lastQuit = pendingQuit;
        return Taken::Quit;
    }
    return Taken::Nothing;
}

void MessageQueue::forget(NativeWindow window) {
    for (auto it = timerTable.begin(); it != timerTable.end();) {
        it = it->first.first == window ? timerTable.erase(it) : std::next(it);
    }
    queue.erase(std::remove_if(queue.begin(), queue.end(),
                               [&](const QueuedMessage& m) { return m.window == window; }),
                queue.end());
}

void MessageQueue::windowGone(Window& w) {
    forget(w.handle());
    if (&w == mainWindow) {
        mainWindow = nullptr;
        postQuit(0);
    }
}

void MessageQueue::deliver(Window& w, const QueuedMessage& m, uint32_t now) {
    switch (m.kind) {
        case QueuedMessage::Timer: {
            auto it = timerTable.find({m.window, m.timerId});
            if (it == timerTable.end()) return;
            it->second.queued = false;
            it->second.due = now + it->second.period;
            w.onTimer(m.timerId);
            return;
        }
        case QueuedMessage::Close: w.onClose(); return;
        case QueuedMessage::Event: break;
        case QueuedMessage::Paint:
        case QueuedMessage::Gone:
        case QueuedMessage::Action: return;
    }
    const WindowEvent& e = m.event;
    switch (e.kind) {
        case WindowEvent::MouseMove: w.onMouseMove(e.x, e.y); break;
        case WindowEvent::Button: w.onButtonDown(e.button); break;
        case WindowEvent::Key: w.onKeyDown(false); break;
        case WindowEvent::SystemKey: w.onKeyDown(true); break;
        case WindowEvent::Activate: w.onActivate(e.active); break;
        case WindowEvent::ActivateApp: w.onActivateApp(e.active); break;
        case WindowEvent::NcActivate: w.onNcActivate(e.active); break;
        case WindowEvent::SysCommand:
            if (!w.onSysCommand(e.command) && e.command == SystemCommand::Close) postClose(m.window);
            break;
        case WindowEvent::SetCursor: w.onSetCursor(); break;
        case WindowEvent::Resized: w.onSize(e.x, e.y); break;
    }
}

}  // namespace glimsel_ui
