#include "platform/win32/win32_settings_sheet.h"

#include <commctrl.h>

#include "app/OptionsSheet.h"
#include "app/SaverApp.h"
#include "platform/win32/win32_about_page.h"
#include "platform/win32/win32_options_page.h"
#include "platform/win32/win32_page_resources.h"
#include "platform/win32/win32_window_system.h"
#include "show/DrawWnd.h"

namespace glimsel_win32 {

namespace {

constexpr int ICON_RESOURCE = 128;

class SettingsSheet {
public:
    explicit SettingsSheet(CSaverApp& app) : app(app), sheet(app, optionsView, aboutView) {
        optionsView.attach(sheet.optionsPage);
        aboutView.attach(sheet.aboutPage);
    }

    int run(HWND owner) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        // The folder choices come after the two pages every version had, so a stored
        // "ActivePage" keeps naming the same page.
        PROPSHEETPAGEA pages[3] = {};
        describePage(pages[0], instance, Win32OptionsPage::TEMPLATE, Win32OptionsPage::dialogProc, &optionsView);
        describePage(pages[1], instance, Win32AboutPage::TEMPLATE, Win32AboutPage::dialogProc, &aboutView);
        describePage(pages[2], instance, Win32OptionsPage::MORE_TEMPLATE, Win32OptionsPage::moreDialogProc, &optionsView);
        const int count = sizeof pages / sizeof pages[0];

        // A stored page that names no page leaves the first one open.
        int start = sheet.initialPage();
        PROPSHEETHEADERA header{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP | PSH_USECALLBACK | PSH_USEHICON;
        header.hwndParent = owner;
        header.hInstance = instance;
        header.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_RESOURCE));
        header.pszCaption = COptionsSheet::CAPTION;
        header.nPages = count;
        header.nStartPage = start >= 0 && start < count ? start : 0;
        header.ppsp = pages;
        header.pfnCallback = onSheetEvent;

        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        running = this;
        PropertySheetA(&header);
        running = nullptr;
        return result;
    }

private:
    static void describePage(PROPSHEETPAGEA& page, HINSTANCE instance, int id, DLGPROC procedure, void* view) {
        page.dwSize = sizeof page;
        page.hInstance = instance;
        page.pfnDlgProc = procedure;
        page.lParam = reinterpret_cast<LPARAM>(view);
        // The template in the language of the thread's locale, when the program has it.
        if (const DLGTEMPLATE* found = pageTemplate(id)) {
            page.dwFlags = PSP_DLGINDIRECT;
            page.pResource = found;
        } else {
            page.dwFlags = PSP_DEFAULT;
            page.pszTemplate = MAKEINTRESOURCEA(id);
        }
    }

    // The sheet's window exists, with its pages sized: widen it for the preview.
    static int CALLBACK onSheetEvent(HWND window, UINT event, LPARAM) {
        if (event == PSCB_INITIALIZED && running) running->initialise(window);
        return 0;
    }

    void initialise(HWND window) {
        sheetWindow = window;
        windowSystem().setPropertySheet(window);
        sheetProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProcedure)));
        SetWindowTextA(window, COptionsSheet::CAPTION);

        RECT outer;
        GetWindowRect(window, &outer);
        COptionsSheet::Layout layout = COptionsSheet::layout(app, outer.right - outer.left, outer.bottom - outer.top);
        SetWindowPos(window, nullptr, 0, 0, layout.sheet.width, layout.sheet.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // Without a preview the pages still work; they skip what concerns it.
        sheet.createPreview(Win32WindowSystem::native(window), layout.preview, layout.previewScale);
        centre(window, layout.sheet.width, layout.sheet.height);
    }

    static Win32WindowSystem& windowSystem() {
        return static_cast<Win32WindowSystem&>(glimsel_ui::WindowSystem::current());
    }

    static void centre(HWND window, int width, int height) {
        RECT work;
        if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
            work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        }
        int left = work.left + (work.right - work.left - width) / 2;
        int top = work.top + (work.bottom - work.top - height) / 2;
        SetWindowPos(window, nullptr, left > work.left ? left : work.left, top > work.top ? top : work.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    static LRESULT CALLBACK subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        SettingsSheet* self = running;
        if (!self || window != self->sheetWindow) return DefWindowProcA(window, message, wParam, lParam);
        WNDPROC original = self->sheetProcedure;
        // OK, by its button or by Enter; the sheet then closes. The sheet forgets its
        // active page as it ends, so the page is read as OK arrives.
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            self->okPressed = true;
            self->activePage = activePageOf(window);
        }
        if (message == WM_DESTROY) {
            // The preview goes first, while its parent still exists.
            int page = activePageOf(window);
            self->result = self->sheet.close(self->okPressed, page >= 0 ? page : self->activePage);
            self->sheetWindow = nullptr;
            windowSystem().setPropertySheet(nullptr);
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        }
        return CallWindowProcA(original, window, message, wParam, lParam);
    }

    static int activePageOf(HWND window) {
        HWND current = reinterpret_cast<HWND>(SendMessageA(window, PSM_GETCURRENTPAGEHWND, 0, 0));
        if (!current) return -1;
        return static_cast<int>(SendMessageA(window, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(current), 0));
    }

    static SettingsSheet* running;

    CSaverApp& app;
    Win32OptionsPage optionsView;
    Win32AboutPage aboutView;
    COptionsSheet sheet;
    HWND sheetWindow = nullptr;
    WNDPROC sheetProcedure = nullptr;
    bool okPressed = false;
    int activePage = -1;
    int result = -1;
};

SettingsSheet* SettingsSheet::running = nullptr;

}  // namespace

int runSettingsSheet(CSaverApp& app, HWND owner) {
    SettingsSheet sheet(app);
    return sheet.run(owner);
}

}  // namespace glimsel_win32
