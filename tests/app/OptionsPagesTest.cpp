#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/OptionsSheet.h"
#include "app/SaverApp.h"
#include "show/DrawWnd.h"
#include "tests/app/HeadlessDesktop.h"
#include "tests/kit/TempDir.h"
#include "tests/show/FakeImageSource.h"

namespace {

// Records what the pages show and answers their questions as a test says.
class FakeViews : public CSaverDlg::View, public CAboutPage::View {
public:
    int shown = 0;
    bool answerYes = true;
    bool chooserCancels = false;
    std::string chosenFolder;
    std::vector<std::string> questions;
    std::vector<std::string> messages;

    void showState(const CSaverDlg&) override { ++shown; }
    void showState(const CAboutPage&) override { ++shown; }
    bool askYesNo(char const* text) override {
        questions.push_back(text);
        return answerYes;
    }
    bool chooseFolder(char const*, std::string& folder) override {
        if (chooserCancels) return false;
        folder = chosenFolder;
        return true;
    }
    void showMessage(char const* text) override { messages.push_back(text); }
};

class OptionsPageTest : public ::testing::Test, public EngineFixtureBase {
protected:
    OptionsPageTest() : app(desktop), sheet(app, views, views) {}
    // A database file that is there (by name only).
    void databaseExists() { desktop.database = new torvik_io::_File("/nonexistent/Glimsel.idb"); }
    CSaverDlg& page() { return sheet.optionsPage; }
    // Opens the sheet: source chosen, preview made, page initialised.
    void open() {
        app.imageSource = fake;
        sheet.createPreview(0, glimsel_ui::Rect{360, 10, 730, 390}, 36);
        page().initPage();
    }

    HeadlessDesktop desktop;
    CSaverApp app;
    FakeViews views;
    COptionsSheet sheet;
    TempDir dir;
    const std::string folder = dir.path;
};

}  // namespace

TEST_F(OptionsPageTest, FirstRunWithoutDatabase) {
    open();
    EXPECT_EQ(page().folderText, ".");
    EXPECT_EQ(page().countText, "1 images found");
    EXPECT_FALSE(page().databaseButtonVisible);
    EXPECT_EQ(page().speedPos, 50);
    EXPECT_FALSE(page().flashOn);
    EXPECT_EQ(store.getInt("Config", "flashSleep", 0), -1);  // written back
    EXPECT_EQ(sheet.preview->flashSleep, -1);
}

TEST_F(OptionsPageTest, FirstRunWithDatabaseInUse) {
    databaseExists();
    app.usingImageDatabase = true;
    open();
    EXPECT_EQ(page().folderText, CSaverDlg::DATABASE_TEXT);
    EXPECT_TRUE(page().databaseButtonVisible);
    EXPECT_FALSE(page().databaseButtonEnabled);
}

struct ScrollCase {
    int start;
    ScrollCode code;
    int thumb;
    int expected;
};

class ScrollMapping : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(ScrollMapping, GivesPosition) {
    ScrollCase c = GetParam();
    EXPECT_EQ(CSaverDlg::scrollPosition(c.start, c.code, c.thumb), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Codes, ScrollMapping,
                         ::testing::Values(ScrollCase{1, ScrollCode::LineLeft, 0, 1},
                                           ScrollCase{5, ScrollCode::LineLeft, 0, 4},
                                           ScrollCase{5, ScrollCode::LineRight, 0, 6},
                                           ScrollCase{100, ScrollCode::LineRight, 0, 100},
                                           ScrollCase{95, ScrollCode::PageRight, 0, 100},
                                           ScrollCase{15, ScrollCode::PageLeft, 0, 5},
                                           ScrollCase{5, ScrollCode::PageLeft, 0, 1},
                                           ScrollCase{50, ScrollCode::ThumbTrack, 77, 77},
                                           ScrollCase{50, ScrollCode::ThumbPosition, 0, 1},
                                           ScrollCase{50, ScrollCode::Left, 0, 1},
                                           ScrollCase{50, ScrollCode::Right, 0, 100},
                                           ScrollCase{42, ScrollCode::EndScroll, 0, 42}));

TEST_F(OptionsPageTest, SpeedIsStoredAndAppliedOnEveryEvent) {
    open();
    page().onHScroll(ScrollBarId::Speed, ScrollCode::ThumbTrack, 100);
    EXPECT_EQ(store.getInt("Config", "Speed", 0), 100);
    EXPECT_EQ(ws.timers(sheet.preview->handle()).at(CDrawWnd::TIMER_ID), 10u);
    page().onHScroll(ScrollBarId::Speed, ScrollCode::Left, 0);
    EXPECT_EQ(store.getInt("Config", "Speed", 0), 1);
}

TEST_F(OptionsPageTest, FlashTickAndUntick) {
    open();
    page().onFlashClicked(true);
    EXPECT_TRUE(page().flashOn);
    EXPECT_EQ(page().flashPos, 50);
    EXPECT_EQ(store.getInt("Config", "flashSleep", 0), 50);
    EXPECT_EQ(sheet.preview->flashSleep, 50);
    page().onFlashClicked(false);
    EXPECT_FALSE(page().flashOn);
    EXPECT_EQ(store.getInt("Config", "flashSleep", 0), -1);
    EXPECT_EQ(sheet.preview->flashSleep, -1);
}

TEST_F(OptionsPageTest, FlashBarEndsStoreZeroAndNinetyNine) {
    open();
    page().onFlashClicked(true);
    page().onHScroll(ScrollBarId::FlashSpeed, ScrollCode::ThumbTrack, 100);
    EXPECT_EQ(store.getInt("Config", "flashSleep", -5), 0);
    EXPECT_EQ(sheet.preview->flashSleep, 0);
    page().onHScroll(ScrollBarId::FlashSpeed, ScrollCode::ThumbTrack, 1);
    EXPECT_EQ(store.getInt("Config", "flashSleep", -5), 99);
}

TEST_F(OptionsPageTest, AnsweringNoChangesNothing) {
    app.usingImageDatabase = true;
    open();
    views.answerYes = false;
    page().onUseFolder();
    ASSERT_EQ(views.questions.size(), 1u);
    EXPECT_EQ(views.questions[0], CSaverDlg::LEAVE_DATABASE_QUESTION);
    EXPECT_FALSE(store.has("Config", "Path"));
    EXPECT_TRUE(app.usingImageDatabase);
}

TEST_F(OptionsPageTest, CancellingTheChooserChangesNothing) {
    open();
    views.chooserCancels = true;
    page().onUseFolder();
    EXPECT_TRUE(views.questions.empty());  // no question while a folder is in use
    EXPECT_FALSE(store.has("Config", "Path"));
    EXPECT_EQ(app.imageSource.get(), static_cast<_IImageDatabase*>(fake.get()));
}

TEST_F(OptionsPageTest, ChoosingAFolderStoresItAndReplacesTheSource) {
    open();
    views.chosenFolder = folder;
    page().onUseFolder();
    std::string path;
    ASSERT_TRUE(store.getString("Config", "Path", path));
    EXPECT_EQ(path, folder);
    EXPECT_EQ(page().folderText, folder);
    EXPECT_EQ(page().countText, "0 images found");
    EXPECT_NE(app.imageSource.get(), static_cast<_IImageDatabase*>(fake.get()));
    EXPECT_FALSE(app.usingImageDatabase);
}

TEST_F(OptionsPageTest, FolderChoicesAreReadStoredAndListedAtOnce) {
    store.writeString("Config", "Path", folder.c_str());
    store.writeInt("Config", "NoRepeats", 1);
    dir.write("sub/a.jpg", "");
    dir.write("b.png", "");
    open();
    EXPECT_EQ(std::vector<bool>(page().choiceOn, page().choiceOn + FOLDER_CHOICES),
              (std::vector<bool>{false, false, true, false}));
    app.chooseImageSource();
    const int shownBefore = views.shown;
    const struct {
        FolderChoice choice;
        bool on;
        const char* entry;
        const char* count;
    } steps[] = {{FolderChoice::Subfolders, true, "Subfolders", "1 images found"},
                 {FolderChoice::MoreTypes, true, "MoreTypes", "2 images found"},
                 {FolderChoice::Subfolders, false, "Subfolders", "1 images found"},
                 {FolderChoice::Upright, true, "Upright", "1 images found"}};
    for (const auto& s : steps) {
        page().onChoiceClicked(s.choice, s.on);
        EXPECT_EQ(store.getInt("Config", s.entry, -1), s.on ? 1 : 0) << s.entry;
        EXPECT_EQ(page().countText, s.count) << s.entry;
    }
    EXPECT_EQ(views.shown, shownBefore + 4);
}

TEST_F(OptionsPageTest, UseDatabaseDeletesPath) {
    store.writeString("Config", "Path", folder.c_str());
    open();
    page().onUseDatabase();
    EXPECT_FALSE(store.has("Config", "Path"));
}

TEST_F(OptionsPageTest, SheetOpensOnStoredPageAndStoresOnlyOnOk) {
    store.writeInt("", "ActivePage", 1);
    EXPECT_EQ(sheet.initialPage(), 1);
    EXPECT_EQ(sheet.close(false, 0), -1);
    EXPECT_EQ(sheet.close(true, 1), 1);
}

TEST(AboutPage, VersionLineAndFailures) {
    FakeViews views;
    HeadlessDesktop desktop;
    CAboutPage page(views, desktop);
    desktop.version = "1.2.3";
    page.updateVersionText();
    EXPECT_EQ(page.versionText, "Glimsel Version 1.2.3");
    desktop.version = "";
    page.updateVersionText();
    EXPECT_EQ(page.versionText, "Glimsel Version ???");

    const std::vector<std::string>& opened = desktop.opened;
    page.onSendMail();
    page.onOpenPage();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], std::string("mailto:") + CAboutPage::MAIL_ADDRESS);
    EXPECT_EQ(opened[1], CAboutPage::WEB_ADDRESS);
    ASSERT_EQ(views.messages.size(), 2u);
    EXPECT_EQ(views.messages[0], CAboutPage::CANT_OPEN_MAIL);
    EXPECT_EQ(views.messages[1], CAboutPage::CANT_OPEN_PAGE);
}

TEST(AboutPage, BuildVersionHasThreeNumbers) {
    std::string v = CAboutPage::buildVersion();
    EXPECT_EQ(std::count(v.begin(), v.end(), '.'), 2) << v;
}
