// The settings sheet's dialog templates and texts, in the language of the thread's
// locale: German when its primary language is German, English otherwise. The system's
// own resource lookup follows the user interface language instead, so the pages pick
// their resources by hand.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <string>

namespace glimsel_win32 {

// The language the pages show: German or US English.
LANGID pageLanguage();

// Dialog template `id` in the pages' language (English when it has none); null when
// the program has no such template.
const DLGTEMPLATE* pageTemplate(int id);

// String resource `id` in the pages' language, in the ANSI code page; `fallback` when
// there is none.
std::string pageString(int id, const std::string& fallback);

// The view a page's dialog belongs to: the sheet hands it over in the page's
// PROPSHEETPAGE with WM_INITDIALOG, and the dialog keeps it in its user data.
template <class View>
View* pageView(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* view = reinterpret_cast<View*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(view));
        return view;
    }
    return reinterpret_cast<View*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

}  // namespace glimsel_win32
