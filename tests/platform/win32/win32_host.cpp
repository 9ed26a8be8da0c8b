// A small Windows program for the window tests under Wine.
//
//   win32_host pane <folder> <width> <height>
//       Opens a window whose client area is a preview pane of the given size and writes
//       its handle (decimal) to <folder>/hwnd. Every 100 ms it writes the child windows
//       that other programs put into it to <folder>/children, one line each:
//       "<handle> <own process: 0|1> <visible: 0|1> <left> <top> <right> <bottom>".
//       It destroys its window and ends when the file <folder>/destroy appears.
//   win32_host find <class> <file>
//       Writes the visible top-level windows of the class to <file>, one line each:
//       "<handle> <topmost: 0|1> <caption: 0|1> <left> <top> <right> <bottom>".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string folder;
HWND pane = nullptr;

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Written beside and renamed, so a reader never sees half a file.
void publish(const std::string& path, const std::string& text) {
    std::string temporary = path + ".new";
    if (FILE* f = std::fopen(temporary.c_str(), "wb")) {
        std::fputs(text.c_str(), f);
        std::fclose(f);
        MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}

BOOL CALLBACK listChild(HWND child, LPARAM out) {
    if (GetParent(child) != pane) return TRUE;
    DWORD process = 0;
    GetWindowThreadProcessId(child, &process);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, pane, reinterpret_cast<POINT*>(&r), 2);
    char line[128];
    std::snprintf(line, sizeof line, "%llu %d %d %ld %ld %ld %ld\n",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(child)),
                  process == GetCurrentProcessId() ? 1 : 0, IsWindowVisible(child) ? 1 : 0, r.left, r.top, r.right,
                  r.bottom);
    *reinterpret_cast<std::string*>(out) += line;
    return TRUE;
}

LRESULT CALLBACK paneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER: {
            if (exists(folder + "\\destroy")) {
                DestroyWindow(hwnd);
                return 0;
            }
            std::string children;
            EnumChildWindows(hwnd, listChild, reinterpret_cast<LPARAM>(&children));
            publish(folder + "\\children", children);
            return 0;
        }
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

int runPane(int width, int height) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = paneProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "GlimselTestPane";
    RegisterClassA(&wc);
    pane = CreateWindowExA(0, wc.lpszClassName, "pane", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, width, height,
                           nullptr, nullptr, wc.hInstance, nullptr);
    if (!pane) return 1;
    SetTimer(pane, 1, 100, nullptr);
    publish(folder + "\\hwnd", std::to_string(reinterpret_cast<uintptr_t>(pane)) + "\n");
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    return 0;
}

struct Search {
    std::string className;
    std::string lines;
};

BOOL CALLBACK listTop(HWND w, LPARAM data) {
    Search& s = *reinterpret_cast<Search*>(data);
    char name[256] = {};
    GetClassNameA(w, name, sizeof name);
    if (s.className != name || !IsWindowVisible(w)) return TRUE;
    RECT r;
    GetWindowRect(w, &r);
    LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE);
    LONG_PTR exStyle = GetWindowLongPtrA(w, GWL_EXSTYLE);
    char line[128];
    std::snprintf(line, sizeof line, "%llu %d %d %ld %ld %ld %ld\n",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(w)), (exStyle & WS_EX_TOPMOST) ? 1 : 0,
                  (style & WS_CAPTION) == WS_CAPTION ? 1 : 0, r.left, r.top, r.right, r.bottom);
    s.lines += line;
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "pane" && argc == 5) {
        folder = argv[2];
        return runPane(std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if (mode == "find" && argc == 4) {
        Search s{argv[2], ""};
        EnumWindows(listTop, reinterpret_cast<LPARAM>(&s));
        publish(argv[3], s.lines);
        return 0;
    }
    std::fprintf(stderr, "usage: win32_host pane <folder> <width> <height> | find <class> <file>\n");
    return 2;
}
