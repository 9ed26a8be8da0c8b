#include "app/OptionsSheet.h"

#include "app/SaverApp.h"
#include "platform/SettingsStore.h"
#include "show/DrawWnd.h"

using glimsel_ui::Rect;

COptionsSheet::COptionsSheet(CSaverApp& app, CSaverDlg::View& optionsView, CAboutPage::View& aboutView)
    : optionsPage(app, optionsView), aboutPage(aboutView, app.desktop), app(app) {}

COptionsSheet::~COptionsSheet() {
    if (preview) preview->destroyWindow();
}

COptionsSheet::Layout COptionsSheet::layout(CSaverApp& app, int width, int height) {
    Layout l;
    l.sheet = glimsel_ui::Size{width + PREVIEW_STRIP, height};
    l.preview = Rect{width + 10, 10, width + 380, height - 30};
    l.previewScale = app.computePreviewScale(370, height - 40);
    return l;
}

bool COptionsSheet::createPreview(glimsel_ui::NativeWindow sheetWindow, const Rect& rect, int scale) {
    preview = std::make_unique<CDrawWnd>(app, false);
    preview->scalePercent = scale;
    if (!preview->createWindow(glimsel_ui::EXSTYLE_NONE, glimsel_ui::STYLE_CHILD | glimsel_ui::STYLE_VISIBLE, rect,
                               sheetWindow)) {
        preview.reset();
        return false;
    }
    optionsPage.preview = preview.get();
    return true;
}

int COptionsSheet::initialPage() {
    lastActivePage = glimsel_settings::getProfileInt("", "ActivePage", 0);
    return lastActivePage;
}

int COptionsSheet::close(bool ok, int activePage) {
    lastActivePage = activePage;
    optionsPage.preview = nullptr;
    if (preview) {
        preview->destroyWindow();
        preview.reset();
    }
    return ok ? lastActivePage : -1;
}
