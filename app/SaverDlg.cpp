#include "app/SaverDlg.h"

#include "app/SaverApp.h"
#include "platform/SettingsStore.h"
#include "foundation/lang/L.h"
#include "show/DrawWnd.h"
#include "sources/FreewareIdb.h"

using glimsel_settings::getProfileInt;
using glimsel_settings::getProfileString;
using glimsel_settings::writeProfileInt;
using glimsel_settings::writeProfileString;

CSaverDlg::CSaverDlg(CSaverApp& app, View& view)
    : app(app), view(view) {}

void CSaverDlg::initPage() {
    updatePathInfo();
    speedPos = getProfileInt("Config", "Speed", 50);
    // The bar's range is 1 to 100; a stored value beyond it shows at the nearer end.
    if (speedPos < 1) speedPos = 1;
    if (speedPos > 100) speedPos = 100;
    setFlash(getProfileInt("Config", "flashSleep", -1));
    for (int i = 0; i < FOLDER_CHOICES; ++i) {
        choiceOn[i] = getProfileInt("Config", choiceEntry(static_cast<FolderChoice>(i)), 0) == 1;
    }
    view.showState(*this);
}

char const* CSaverDlg::choiceEntry(FolderChoice choice) {
    switch (choice) {
        case FolderChoice::Upright: return "Upright";
        case FolderChoice::Subfolders: return "Subfolders";
        case FolderChoice::NoRepeats: return "NoRepeats";
        case FolderChoice::MoreTypes: return "MoreTypes";
    }
    return "";
}

char const* CSaverDlg::choiceLabel(FolderChoice choice) {
    switch (choice) {
        case FolderChoice::Upright: return "Show photos upright";
        case FolderChoice::Subfolders: return "Include subfolders";
        case FolderChoice::NoRepeats: return "No repeats until all were shown";
        case FolderChoice::MoreTypes: return "Show PNG pictures too";
    }
    return "";
}

void CSaverDlg::onChoiceClicked(FolderChoice choice, bool checked) {
    const int i = static_cast<int>(choice);
    if (i < 0 || i >= FOLDER_CHOICES) return;
    choiceOn[i] = checked;
    writeProfileInt("Config", choiceEntry(choice), checked ? 1 : 0);
    // The folder source takes its choices when it is made: a new one shows them in the
    // preview from its next picture on, and counts what it lists.
    if (!app.usingImageDatabase) app.chooseImageSource();
    updatePathInfo();
    view.showState(*this);
}

void CSaverDlg::updatePathInfo() {
    folderText = app.usingImageDatabase ? DATABASE_TEXT : getProfileString("Config", "Path", ".");
    int count = app.imageSource ? app.imageSource->getImageCount() : 0;
    countText = torvik_lang::L::sprintf("%d images found", count)->c_str();
    // The button is offered only while the bundled database file is there.
    databaseButtonVisible = !app.desktop.findDatabase().isNull();
    databaseButtonEnabled = !app.usingImageDatabase;
}

void CSaverDlg::setFlash(int sleep) {
    flashOn = sleep >= 0;
    if (flashOn) {
        flashPos = 100 - sleep;
        if (flashPos < 1) flashPos = 1;
        if (flashPos > 100) flashPos = 100;
    }
    if (preview) preview->flashSleep = sleep;
    writeProfileInt("Config", "flashSleep", sleep);
}

int CSaverDlg::scrollPosition(int current, ScrollCode code, int thumbPosition) {
    long long position = current;
    switch (code) {
        case ScrollCode::LineLeft: position -= 1; break;
        case ScrollCode::LineRight: position += 1; break;
        case ScrollCode::PageLeft: position -= 10; break;
        case ScrollCode::PageRight: position += 10; break;
        case ScrollCode::ThumbPosition:
        case ScrollCode::ThumbTrack: position = thumbPosition; break;
        case ScrollCode::Left: position = 1; break;
        case ScrollCode::Right: position = 100; break;
        case ScrollCode::EndScroll: break;
    }
    if (position < 1) position = 1;
    if (position > 100) position = 100;
    return static_cast<int>(position);
}

int CSaverDlg::onHScroll(ScrollBarId bar, ScrollCode code, int thumbPosition) {
    if (bar == ScrollBarId::Speed) {
        speedPos = scrollPosition(speedPos, code, thumbPosition);
        if (preview) preview->setSpeed(speedPos);
        writeProfileInt("Config", "Speed", speedPos);
        return speedPos;
    }
    flashPos = scrollPosition(flashPos, code, thumbPosition);
    if (preview) preview->flashSleep = 100 - flashPos;
    writeProfileInt("Config", "flashSleep", 100 - flashPos);
    return flashPos;
}

void CSaverDlg::onFlashClicked(bool checked) {
    flashOn = checked;
    int sleep = flashOn ? 50 : -1;
    setFlash(sleep);
    writeProfileInt("Config", "flashSleep", sleep);
    view.showState(*this);
}

void CSaverDlg::onUseFolder() {
    if (app.usingImageDatabase && !view.askYesNo(LEAVE_DATABASE_QUESTION)) return;
    std::string folder = getProfileString("Config", "Path", ".");
    if (!view.chooseFolder(CHOOSER_TITLE, folder) || folder.empty()) return;
    folderText = folder;
    writeProfileString("Config", "Path", folderText.c_str());
    app.chooseImageSource();
    updatePathInfo();
    view.showState(*this);
}

void CSaverDlg::onUseDatabase() {
    writeProfileString("Config", "Path", nullptr);
    app.chooseImageSource();
    updatePathInfo();
    view.showState(*this);
}
