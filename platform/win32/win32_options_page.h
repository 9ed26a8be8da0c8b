// The options page on Windows: dialog template 102 as a property sheet page. It only
// translates: the controls' events go to the page's rules (CSaverDlg), and the page's
// state comes back into the controls.
#pragma once

#include <windows.h>

#include <string>

#include "app/SaverDlg.h"

namespace glimsel_win32 {

class Win32OptionsPage : public CSaverDlg::View {
public:
    static constexpr int TEMPLATE = 102;
    // The folder choices' page ("More"), a second dialog over the same rules.
    static constexpr int MORE_TEMPLATE = 108;

    void attach(CSaverDlg& p) { page = &p; }
    // The dialog procedure of the page; the page's PROPSHEETPAGE carries `this`.
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK moreDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    // ---- CSaverDlg::View ----
    void showState(const CSaverDlg& p) override;
    bool askYesNo(char const* text) override;
    bool chooseFolder(char const* title, std::string& folder) override;

    // The page's scroll code for a scroll bar's notification code; false for none.
    static bool scrollCodeOf(int notification, ScrollCode& code);

private:
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onHScroll(HWND bar, int notification, int thumbPosition);
    void onCommand(int id, int notification);
    // The rules read the stored values once, whichever of the two pages opens first.
    void initOnce();
    void showChoices(const CSaverDlg& p);

    CSaverDlg* page = nullptr;
    HWND dialog = nullptr;
    HWND moreDialog = nullptr;
    bool initialised = false;
    // Set while the state goes into the controls, whose notifications are then ours.
    bool updating = false;
};

}  // namespace glimsel_win32
