#include "platform/win32/win32_options_page.h"

#include <shlobj.h>

#include "app/OptionsSheet.h"
#include "platform/win32/win32_page_resources.h"

namespace glimsel_win32 {

namespace {

enum Control {
    FOLDER_TEXT = 1011,
    USE_FOLDER = 1012,
    COUNT_TEXT = 1016,
    SPEED_BAR = 1002,
    FLASH_FRAME = 1020,
    FLASH_SLOW = 1021,
    FLASH_FAST = 1022,
    FLASH_BAR = 1003,
    FLASH_CHECK = 1019,
    USE_DATABASE = 1010,
    FIRST_CHOICE = 1030,  // one check box per folder choice, in their order
};

constexpr int BAR_MIN = 1;
constexpr int BAR_MAX = 100;

void setBar(HWND dialog, int id, int position) {
    HWND bar = GetDlgItem(dialog, id);
    SetScrollRange(bar, SB_CTL, BAR_MIN, BAR_MAX, FALSE);
    SetScrollPos(bar, SB_CTL, position, TRUE);
}

}  // namespace

INT_PTR CALLBACK Win32OptionsPage::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = pageView<Win32OptionsPage>(dialog, message, lParam);
    if (self && message == WM_INITDIALOG) self->dialog = dialog;
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR CALLBACK Win32OptionsPage::moreDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = pageView<Win32OptionsPage>(dialog, message, lParam);
    if (!self) return FALSE;
    if (message == WM_INITDIALOG) {
        self->moreDialog = dialog;
        if (self->page) {
            self->initOnce();
            self->showChoices(*self->page);
        }
        return TRUE;
    }
    if (message == WM_COMMAND) self->onCommand(LOWORD(wParam), HIWORD(wParam));
    if (message == WM_DESTROY) self->moreDialog = nullptr;
    return FALSE;
}

void Win32OptionsPage::initOnce() {
    if (initialised) return;
    initialised = true;
    page->initPage();
}

INT_PTR Win32OptionsPage::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            if (page) {
                // Opened after the "More" page: the rules have their state, only the controls are new.
                if (initialised) showState(*page);
                initOnce();
            }
            return TRUE;
        case WM_HSCROLL:
            onHScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
            return FALSE;
        case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return FALSE;
        case WM_DESTROY: dialog = nullptr; return FALSE;
        default: return FALSE;
    }
}

bool Win32OptionsPage::scrollCodeOf(int notification, ScrollCode& code) {
    switch (notification) {
        case SB_LINELEFT: code = ScrollCode::LineLeft; return true;
        case SB_LINERIGHT: code = ScrollCode::LineRight; return true;
        case SB_PAGELEFT: code = ScrollCode::PageLeft; return true;
        case SB_PAGERIGHT: code = ScrollCode::PageRight; return true;
        case SB_THUMBPOSITION: code = ScrollCode::ThumbPosition; return true;
        case SB_THUMBTRACK: code = ScrollCode::ThumbTrack; return true;
        case SB_LEFT: code = ScrollCode::Left; return true;
        case SB_RIGHT: code = ScrollCode::Right; return true;
        case SB_ENDSCROLL: code = ScrollCode::EndScroll; return true;
        default: return false;
    }
}

void Win32OptionsPage::onHScroll(HWND bar, int notification, int thumbPosition) {
    ScrollCode code;
    if (!page || updating || !bar || !scrollCodeOf(notification, code)) return;
    int id = GetDlgCtrlID(bar);
    if (id != SPEED_BAR && id != FLASH_BAR) return;
    int position = page->onHScroll(id == SPEED_BAR ? ScrollBarId::Speed : ScrollBarId::FlashSpeed, code, thumbPosition);
    SetScrollPos(bar, SB_CTL, position, TRUE);
}

void Win32OptionsPage::onCommand(int id, int notification) {
    if (!page || updating || notification != BN_CLICKED) return;
    switch (id) {
        case USE_FOLDER: page->onUseFolder(); break;
        case USE_DATABASE: page->onUseDatabase(); break;
        case FLASH_CHECK: page->onFlashClicked(IsDlgButtonChecked(dialog, FLASH_CHECK) == BST_CHECKED); break;
        default:
            if (moreDialog && id >= FIRST_CHOICE && id < FIRST_CHOICE + FOLDER_CHOICES) {
                page->onChoiceClicked(static_cast<FolderChoice>(id - FIRST_CHOICE),
                                      IsDlgButtonChecked(moreDialog, id) == BST_CHECKED);
            }
            break;
    }
}

void Win32OptionsPage::showChoices(const CSaverDlg& p) {
    if (!moreDialog) return;
    updating = true;
    for (int i = 0; i < FOLDER_CHOICES; ++i) {
        CheckDlgButton(moreDialog, FIRST_CHOICE + i, p.choiceOn[i] ? BST_CHECKED : BST_UNCHECKED);
    }
    updating = false;
}

void Win32OptionsPage::showState(const CSaverDlg& p) {
    showChoices(p);
    if (!dialog) return;
    updating = true;
    SetDlgItemTextA(dialog, FOLDER_TEXT, p.folderText.c_str());
    SetDlgItemTextA(dialog, COUNT_TEXT, p.countText.c_str());
    setBar(dialog, SPEED_BAR, p.speedPos);
    CheckDlgButton(dialog, FLASH_CHECK, p.flashOn ? BST_CHECKED : BST_UNCHECKED);
    if (p.flashOn) setBar(dialog, FLASH_BAR, p.flashPos);
    // Shown without taking the focus.
    for (int id : {FLASH_FRAME, FLASH_SLOW, FLASH_FAST, FLASH_BAR}) {
        ShowWindow(GetDlgItem(dialog, id), p.flashOn ? SW_SHOWNA : SW_HIDE);
    }
    HWND database = GetDlgItem(dialog, USE_DATABASE);
    // A button that loses the focus as it is disabled would leave the page without one.
    if (!p.databaseButtonEnabled && GetFocus() == database) SendMessageA(dialog, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(database, p.databaseButtonEnabled);
    ShowWindow(database, p.databaseButtonVisible ? SW_SHOWNA : SW_HIDE);
    updating = false;
}

bool Win32OptionsPage::askYesNo(char const* text) {
    return MessageBoxA(dialog, text, COptionsSheet::CAPTION, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool Win32OptionsPage::chooseFolder(char const* title, std::string& folder) {
    char displayName[MAX_PATH] = "";
    BROWSEINFOA browse{};
    browse.hwndOwner = dialog;
    browse.pidlRoot = nullptr;  // the desktop
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&browse);
    if (!item) return false;
    char path[MAX_PATH] = "";
    bool found = SHGetPathFromIDListA(item, path) && path[0];
    CoTaskMemFree(item);
    if (found) folder = path;
    return found;
}

}  // namespace glimsel_win32
