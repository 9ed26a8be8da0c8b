// The about page on Windows: dialog template 106 as a property sheet page, translating
// between its controls and the page's rules (CAboutPage).
#pragma once

#include <windows.h>

#include "app/AboutPage.h"

namespace glimsel_win32 {

class Win32AboutPage : public CAboutPage::View {
public:
    static constexpr int TEMPLATE = 106;
    // String resources: the two failure messages and the contact address.
    static constexpr int CANT_OPEN_PAGE = 1000;
    static constexpr int MAIL_ADDRESS = 1001;
    static constexpr int CANT_OPEN_MAIL = 1002;

    // Takes the contact address from the program's string resource.
    void attach(CAboutPage& p);
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    // ---- CAboutPage::View ----
    void showState(const CAboutPage& p) override;
    void showMessage(char const* text) override;

private:
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);

    CAboutPage* page = nullptr;
    HWND dialog = nullptr;
};

}  // namespace glimsel_win32
