#include "platform/WindowSystem.h"

#include <cstdlib>

namespace glimsel_ui {

namespace {
WindowSystem* installed = nullptr;
}

WindowSystem& WindowSystem::current() {
    if (!installed) std::abort();  // a program installs its window system before any window
    return *installed;
}

void WindowSystem::install(WindowSystem* system) { installed = system; }

Window::Window() = default;

Window::~Window() = default;

bool Window::createWindow(unsigned exStyle, unsigned style, const Rect& r, NativeWindow parent) {
    return WindowSystem::current().createWindow(*this, exStyle, style, r, parent);
}

void Window::destroyWindow() {
    if (native) WindowSystem::current().destroyWindow(*this);
}

Rect Window::clientRect() const {
    if (!native) return Rect{};
    return WindowSystem::current().clientRect(*this);
}

void Window::setTimer(int id, unsigned periodMs) {
    if (native) WindowSystem::current().setTimer(*this, id, periodMs);
}

void Window::killTimer(int id) {
    if (native) WindowSystem::current().killTimer(*this, id);
}

void Window::postClose() {
    if (native) WindowSystem::current().postClose(*this);
}

std::unique_ptr<DeviceContext> Window::getDC() { return WindowSystem::current().getDC(*this); }

}  // namespace glimsel_ui
