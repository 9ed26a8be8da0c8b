#include "platform/win32/win32_about_page.h"

#include <commctrl.h>

#include <cstring>

#include "app/OptionsSheet.h"
#include "platform/win32/win32_page_resources.h"

namespace glimsel_win32 {

namespace {

enum Control { VERSION_TEXT = 1013, MAIL_FIELD = 1000, WEB_FIELD = 1001, SEND_MAIL = 1018, OPEN_PAGE = 1019 };

}  // namespace

void Win32AboutPage::attach(CAboutPage& p) {
    page = &p;
    page->mailAddress = pageString(MAIL_ADDRESS, page->mailAddress);
}

INT_PTR CALLBACK Win32AboutPage::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = pageView<Win32AboutPage>(dialog, message, lParam);
    if (self && message == WM_INITDIALOG) self->dialog = dialog;
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR Win32AboutPage::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!page) return FALSE;
    switch (message) {
        case WM_INITDIALOG: page->updateVersionText(); return TRUE;
        case WM_NOTIFY:
            // Every time the page is shown, its version line is read again.
            if (reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(PSN_SETACTIVE)) page->updateVersionText();
            return FALSE;
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            if (LOWORD(wParam) == SEND_MAIL) page->onSendMail();
            if (LOWORD(wParam) == OPEN_PAGE) page->onOpenPage();
            return FALSE;
        case WM_DESTROY: dialog = nullptr; return FALSE;
        default: return FALSE;
    }
}

void Win32AboutPage::showState(const CAboutPage& p) {
    if (!dialog) return;
    SetDlgItemTextA(dialog, VERSION_TEXT, p.versionText.c_str());
    SetDlgItemTextA(dialog, MAIL_FIELD, p.mailAddress.c_str());
    SetDlgItemTextA(dialog, WEB_FIELD, p.webAddress.c_str());
}

void Win32AboutPage::showMessage(char const* text) {
    // The page's rules speak English; the message resources may speak the user's language.
    int id = std::strcmp(text, CAboutPage::CANT_OPEN_MAIL) == 0   ? CANT_OPEN_MAIL
             : std::strcmp(text, CAboutPage::CANT_OPEN_PAGE) == 0 ? CANT_OPEN_PAGE
                                                                  : 0;
    std::string shown = id ? pageString(id, text) : std::string(text);
    MessageBoxA(dialog, shown.c_str(), COptionsSheet::CAPTION, MB_OK);
}

}  // namespace glimsel_win32
