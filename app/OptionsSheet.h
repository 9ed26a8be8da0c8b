// The settings sheet: the options page and the about page, widened by 400 pixels for
// a live preview of the show to the right of the pages. It remembers which page was
// open when it was closed with OK.
#pragma once

#include <memory>

#include "app/AboutPage.h"
#include "app/SaverDlg.h"
#include "platform/WindowSystem.h"

class COptionsSheet {
public:
    static constexpr char const* CAPTION = "Glimsel";
    static constexpr int PREVIEW_STRIP = 400;
    static constexpr int OPTIONS_PAGE = 0;
    static constexpr int ABOUT_PAGE = 1;

    COptionsSheet(CSaverApp& app, CSaverDlg::View& optionsView, CAboutPage::View& aboutView);
    ~COptionsSheet();

    CSaverDlg optionsPage;
    CAboutPage aboutPage;
    // The live preview; made when the sheet's window is initialised.
    std::unique_ptr<CDrawWnd> preview;
    int lastActivePage = 0;

    // Where things go in a sheet whose pages need `width` by `height` pixels.
    struct Layout {
        glimsel_ui::Size sheet;     // the widened sheet
        glimsel_ui::Rect preview;   // the preview, in the sheet's client coordinates
        int previewScale;           // the preview's scale percentage
    };
    static Layout layout(CSaverApp& app, int width, int height);

    // Makes the preview as a child of `sheetWindow` at `rect`, drawing at `scale`
    // percent; false when the window cannot be made.
    bool createPreview(glimsel_ui::NativeWindow sheetWindow, const glimsel_ui::Rect& rect, int scale);
    // The page to show first ("ActivePage"); also remembered as the active page.
    int initialPage();
    // The sheet closes: `ok` tells OK from Cancel and the close box. The preview goes
    // first. Returns the page index to store, or -1 when nothing is stored.
    int close(bool ok, int activePage);

private:
    CSaverApp& app;
};
