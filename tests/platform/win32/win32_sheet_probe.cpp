// Reports the settings sheet's windows for the sheet tests under Wine.
//
//   win32_sheet_probe <file>
//       Finds the visible top-level window captioned "Glimsel" that is a dialog and
//       writes to <file>:
//         "sheet <owner handle> <owner enabled: 0|1> <left> <top> <right> <bottom>"
//       then one line for each window inside it, in screen coordinates:
//         "<on the visible page: 0|1> <id> <class> <style> <visible: 0|1> <left> <top>
//          <right> <bottom> <text width>"
//       where the text width is the window text's width in the pages' font (a font
//       handle of another process means nothing here, so the probe makes the font that
//       the dialog templates name).
//       Exits with 1 when there is no such window.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND sheet = nullptr;
HFONT pageFont = nullptr;

BOOL CALLBACK findSheet(HWND window, LPARAM) {
    char caption[64] = "", kind[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    GetClassNameA(window, kind, sizeof kind);
    if (IsWindowVisible(window) && std::string(caption) == "Glimsel" && std::string(kind) == "#32770") {
        sheet = window;
        return FALSE;
    }
    return TRUE;
}

int textWidth(HWND window) {
    char text[256] = "";
    int length = GetWindowTextA(window, text, sizeof text);
    if (length <= 0) return 0;
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, pageFont);
    SIZE size{};
    GetTextExtentPoint32A(dc, text, length, &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

BOOL CALLBACK listWindow(HWND window, LPARAM out) {
    HWND parent = GetParent(window);
    char kind[64] = "", parentKind[64] = "";
    GetClassNameA(window, kind, sizeof kind);
    GetClassNameA(parent, parentKind, sizeof parentKind);
    bool onPage = parent != sheet && std::string(parentKind) == "#32770" && IsWindowVisible(parent);
    RECT r;
    GetWindowRect(window, &r);
    char line[256];
    std::snprintf(line, sizeof line, "%d %d %s %lu %d %ld %ld %ld %ld %d\n", onPage ? 1 : 0, GetDlgCtrlID(window), kind,
                  static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)), IsWindowVisible(window) ? 1 : 0, r.left,
                  r.top, r.right, r.bottom, textWidth(window));
    *reinterpret_cast<std::string*>(out) += line;
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: win32_sheet_probe <file>\n");
        return 2;
    }
    HDC screen = GetDC(nullptr);
    pageFont = CreateFontA(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    ReleaseDC(nullptr, screen);
    EnumWindows(findSheet, 0);
    if (!sheet) return 1;
    HWND owner = GetWindow(sheet, GW_OWNER);
    RECT r;
    GetWindowRect(sheet, &r);
    char line[160];
    std::snprintf(line, sizeof line, "sheet %llu %d %ld %ld %ld %ld\n",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(owner)),
                  owner && IsWindowEnabled(owner) ? 1 : 0, r.left, r.top, r.right, r.bottom);
    std::string text = line;
    EnumChildWindows(sheet, listWindow, reinterpret_cast<LPARAM>(&text));
    FILE* f = std::fopen(argv[1], "wb");
    if (!f) return 2;
    std::fputs(text.c_str(), f);
    std::fclose(f);
    return 0;
}
