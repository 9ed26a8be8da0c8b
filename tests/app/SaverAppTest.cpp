#include <gtest/gtest.h>

#include <unistd.h>
#include <string>
#include <vector>

#include "app/OptionsSheet.h"
#include "app/SaverApp.h"
#include "platform/SettingsStore.h"
#include "show/DrawWnd.h"
#include "show/SaverWnd.h"
#include "tests/app/HeadlessDesktop.h"
#include "tests/kit/TempDir.h"
#include "tests/sources/SourceTestKit.h"
#include "tests/show/FakeImageSource.h"

using glimsel_headless::DrawCall;
using glimsel_headless::InputEvent;
using glimsel_ui::Rect;

namespace {

class SaverAppTest : public ::testing::Test, public EngineFixtureBase {
protected:
    SaverAppTest() : app(desktop) {
        // An empty picture folder: the shell's own source choice finds nothing there.
        store.writeString("Config", "Path", folder.c_str());
    }
    int run(std::vector<char const*> args) {
        args.insert(args.begin(), "glimsel");
        return app.run(static_cast<int>(args.size()), args.data());
    }
    // Runs a preview, started with `previewSwitch`, in a 152 x 112 host window that goes at `end`.
    int runPreview(char const* previewSwitch, uint64_t end) {
        host = ws.addForeignWindow(Rect{0, 0, 152, 112});
        ws.scheduleAction(end, [this] { ws.destroyForeignWindow(host); });
        const std::string handle = std::to_string(host);
        return run({previewSwitch, handle.c_str()});
    }
    // A database of one tiny BMP, written into the picture folder.
    torvik_lang::_Ref<torvik_io::_File> writeDatabase() {
        const std::string path = sourcetest::writeArrayFile(
            folder + "/Glimsel.idb", {"", sourcetest::pictureRecord(img_lib::IMAGE_BMP, sourcetest::greyBmp(2, 1))});
        return new torvik_io::_File(path.c_str());
    }
    TempDir dir;
    const std::string folder = dir.path;
    HeadlessDesktop desktop;
    CSaverApp app;
    glimsel_ui::NativeWindow host = 0;
};

}  // namespace

TEST_F(SaverAppTest, PreviewScaleFollowsTheScreen) {
    EXPECT_EQ(app.computePreviewScale(152, 112), 14);
    EXPECT_EQ(app.computePreviewScale(370, 380), 36);
    EXPECT_EQ(app.computePreviewScale(50, 40), 10);
    EXPECT_EQ(app.computePreviewScale(1024, 768), 100);
}

TEST_F(SaverAppTest, UnknownSwitchEndsWithoutWindow) {
    EXPECT_EQ(run({"/C:4711"}), 0);
    EXPECT_TRUE(ws.drawLog.empty());
    EXPECT_TRUE(app.imageSource.isNull());  // released at shut-down
}

TEST_F(SaverAppTest, SaverEndsOnKey) {
    ws.scheduleInput(2500, InputEvent{InputEvent::Key});
    EXPECT_EQ(run({"/s"}), 0);
    EXPECT_EQ(ws.now(), 2500u);
    auto texts = calls(DrawCall::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "Can't display: No images in system");
}

TEST_F(SaverAppTest, SaverEndedDuringFlashExitsWith88) {
    store.writeInt("Config", "flashSleep", 50);
    // With an empty folder nothing flashes; give the shell a source with pictures.
    ws.scheduleAction(500, [this] { app.imageSource = fake; });
    ws.scheduleInput(1500, InputEvent{InputEvent::Key});
    EXPECT_EQ(run({"-s"}), 88);
}

TEST_F(SaverAppTest, TestModeIgnoresKeysAndEndsOnLeftClick) {
    ws.scheduleInput(1000, InputEvent{InputEvent::Key});
    InputEvent click{InputEvent::Button};
    ws.scheduleInput(3000, click);
    EXPECT_EQ(run({"/t"}), 0);
    EXPECT_EQ(ws.now(), 3000u);
    EXPECT_TRUE(app.testMode);
}

TEST_F(SaverAppTest, PreviewDrawsInsideHostAndEndsWithIt) {
    EXPECT_EQ(runPreview("/p", 5000), 0);
    EXPECT_EQ(ws.now(), 5000u);
    auto fills = calls(DrawCall::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect.width(), 152);
    const auto* child = ws.record(fills[0].window);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->parent, host);
    EXPECT_EQ(child->style, glimsel_ui::STYLE_CHILD | glimsel_ui::STYLE_VISIBLE);
    EXPECT_FALSE(child->alive);
}

TEST_F(SaverAppTest, PreviewPicturesAreScaled) {
    ws.scheduleAction(10, [this] { app.imageSource = fake; });
    EXPECT_EQ(runPreview("p", 2500), 0);
    auto dibs = calls(DrawCall::Dib);
    ASSERT_EQ(dibs.size(), 2u);
    EXPECT_EQ(dibs[0].rect.width(), 56);  // 400 x 300 at 14 %
    EXPECT_EQ(dibs[0].rect.height(), 42);
}

TEST_F(SaverAppTest, PreviewOfMissingWindowEndsQuietly) {
    EXPECT_EQ(run({"/p", "987654"}), 0);
    EXPECT_TRUE(ws.drawLog.empty());
}

TEST_F(SaverAppTest, SettingsStorePageOnlyOnOk) {
    store.writeInt("", "ActivePage", 0);
    desktop.sheetAnswer = 1;
    EXPECT_EQ(run({}), 0);
    EXPECT_EQ(store.getInt("", "ActivePage", -9), 1);
    desktop.sheetAnswer = -1;
    EXPECT_EQ(run({"/c:4711"}), 0);
    EXPECT_EQ(store.getInt("", "ActivePage", -9), 1);
}

TEST_F(SaverAppTest, SettingsWithoutSheetEndQuietly) {
    EXPECT_EQ(run({"c"}), 0);
    EXPECT_FALSE(store.has("", "ActivePage"));
}

TEST_F(SaverAppTest, SheetLayoutWidensForPreview) {
    COptionsSheet::Layout l = COptionsSheet::layout(app, 350, 420);
    EXPECT_EQ(l.sheet.width, 750);
    EXPECT_EQ(l.sheet.height, 420);
    EXPECT_EQ(l.preview.left, 360);
    EXPECT_EQ(l.preview.top, 10);
    EXPECT_EQ(l.preview.right, 730);
    EXPECT_EQ(l.preview.bottom, 390);
    EXPECT_EQ(l.previewScale, 36);
}

TEST_F(SaverAppTest, DatabaseIsUsedWhilePathIsAbsent) {
    desktop.database = writeDatabase();
    store.writeString("Config", "Path", nullptr);
    app.chooseImageSource();
    EXPECT_TRUE(app.usingImageDatabase);
    EXPECT_EQ(app.imageSource->getImageCount(), 1);
    EXPECT_STREQ(app.imageSource->getRandomImage()->getName()->c_str(), "Image Nr: 1");

    store.writeString("Config", "Path", FREEWARE_MARKER);
    app.chooseImageSource();
    EXPECT_TRUE(app.usingImageDatabase);
}

TEST_F(SaverAppTest, FolderWinsWhenPathIsSet) {
    desktop.database = writeDatabase();
    app.chooseImageSource();  // "Path" names the (picture-less) folder
    EXPECT_FALSE(app.usingImageDatabase);
    EXPECT_EQ(desktop.databaseQueries, 0);
    EXPECT_EQ(app.imageSource->getImageCount(), 0);
}

TEST_F(SaverAppTest, MissingDatabaseFallsBackToWorkingDirectory) {
    store.writeString("Config", "Path", nullptr);
    writeDatabase();  // not a picture, but gives the folder a file
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    app.chooseImageSource();
    EXPECT_EQ(chdir(previous), 0);
    EXPECT_FALSE(app.usingImageDatabase);
    EXPECT_EQ(app.imageSource->getImageCount(), 0);
}

TEST_F(SaverAppTest, CorruptDatabaseIsNotUsed) {
    std::string path = dir.write("Glimsel.idb", "55 not an array file");
    desktop.database = new torvik_io::_File(path.c_str());
    store.writeString("Config", "Path", nullptr);
    app.chooseImageSource();
    EXPECT_FALSE(app.usingImageDatabase);
}
