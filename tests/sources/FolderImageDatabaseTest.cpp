// _CImageDatabase: the order and kinds of the listed files, drawing, dropping files that
// fail, and the record it hands out when nothing can be shown.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/MemorySettingsStore.h"
#include "sources/FolderImageDatabase.h"
#include "tests/TestPlatform.h"
#include "tests/sources/SourceTestKit.h"

using namespace sourcetest;
using img_lib::_ImageInfo;
using img_lib::ImageType;
using torvik_lang::_Ref;
using torvik_lang::_String;

namespace {

class FolderSource : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.ok());
        glimsel_settings::installSettingsStore(&store);
        store.writeString("Config", "Path", dir.path.c_str());
        std::srand(1);
    }
    void TearDown() override { glimsel_settings::installSettingsStore(nullptr); }

    _Ref<_CImageDatabase> load() {
        _Ref<_CImageDatabase> db = new _CImageDatabase();
        db->loadFolder();
        return db;
    }

    // "name:kind" for every entry, "-" for a dropped one.
    static std::vector<std::string> listing(const _Ref<_CImageDatabase>& db) {
        std::vector<std::string> out;
        for (int i = 0; i < db->names->size(); ++i) {
            _Ref<_String> name = db->names->elementAt(i);
            out.push_back((name ? name->c_str() : std::string("-")) + ":" + std::to_string(db->types->at(i)));
        }
        return out;
    }

    glimsel_headless::MemorySettingsStore store;
    TempDir dir;
};

using List = std::vector<std::string>;

TEST_F(FolderSource, SkipsDotNamesAndOtherFilesAndKeepsTheKindsInStep) {
    for (const char* name : {".hidden.jpg", "W.JpEg", ".x.bmp", "y.bmp", "z.GIF", "readme.txt", "photo.jpg.txt", "gif",
                             "jpg.", ".bmp"})
        dir.write(name, "");
    ASSERT_TRUE(test_platform::makeFolder(dir / "sub.jpg"));
    const List list = listing(load());
    // The folder's own order only matters within one pattern; each pattern here finds
    // one file, and the sub-folder matches "*.jpg" as the directory search lists it.
    EXPECT_EQ(list, (List{"sub.jpg:0", "W.JpEg:0", "y.bmp:1", "z.GIF:2"}));
}

TEST_F(FolderSource, EmptyOrMissingFolderOffersNoPicture) {
    for (bool missing : {false, true}) {
        SCOPED_TRACE(missing);
        if (missing) store.writeString("Config", "Path", (dir / "nowhere").c_str());
        _Ref<_CImageDatabase> db = load();
        EXPECT_EQ(db->getImageCount(), 0);
        _Ref<_ImageInfo> image = db->getRandomImage();
        ASSERT_TRUE(image);
        EXPECT_EQ(image->bits, nullptr);
        ASSERT_TRUE(image->name);
        EXPECT_STREQ(image->name->c_str(), "No images in system");
    }
    // Before loadFolder, too.
    _Ref<_CImageDatabase> fresh = new _CImageDatabase();
    EXPECT_EQ(fresh->getImageCount(), 0);
    EXPECT_STREQ(fresh->getRandomImage()->name->c_str(), "No images in system");
}

TEST_F(FolderSource, WithoutAPathSettingListsTheWorkingDirectory) {
    store.clear();
    dir.write("here.bmp", tinyBmp());
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    _Ref<_CImageDatabase> db = load();
    _Ref<_ImageInfo> image = db->getRandomImage();
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(listing(db), (List{"here.bmp:1"}));
    ASSERT_NE(image->bits, nullptr);
    EXPECT_EQ(image->name->c_str(), test_platform::native("./here.bmp"));
}

TEST_F(FolderSource, BadFilesAreDroppedAndTheGoodOneComesBack) {
    dir.write("good.bmp", tinyBmp());
    for (int i = 0; i < 9; ++i) dir.write("bad" + std::to_string(i) + ".bmp", "BM not a picture");
    _Ref<_CImageDatabase> db = load();
    ASSERT_EQ(db->getImageCount(), 10);
    for (int call = 0; call < 30; ++call) {
        _Ref<_ImageInfo> image = db->getRandomImage();
        ASSERT_NE(image->bits, nullptr);
        EXPECT_EQ(std::string(image->name->c_str()), dir / "good.bmp");
        image->freeImage();
    }
    EXPECT_EQ(db->getImageCount(), 10);
    int dropped = 0;
    for (const std::string& entry : listing(db)) dropped += entry == "-:1";
    EXPECT_EQ(dropped, 9);
    EXPECT_EQ(db->names->indexOf(torvik_lang::_S("good.bmp")), db->names->lastIndexOf(torvik_lang::_S("good.bmp")));
}

TEST_F(FolderSource, WhenNothingDecodesTheRecordCarriesTheLastNameDrawn) {
    dir.write("a.gif", "GIF89a broken");
    dir.write("b.jpg", "not a jpeg");
    dir.write("c.bmp", "BM");
    _Ref<_CImageDatabase> db = load();
    _Ref<_ImageInfo> image = db->getRandomImage();
    EXPECT_EQ(image->bits, nullptr);
    ASSERT_TRUE(image->name);
    const std::string name = image->name->c_str();
    EXPECT_TRUE(name == "a.gif" || name == "b.jpg" || name == "c.bmp") << name;
    EXPECT_EQ(listing(db), (List{"-:0", "-:1", "-:2"}));
    // Every entry dropped: the draws still happen, and the name stays the last real one.
    _Ref<_ImageInfo> again = db->getRandomImage();
    EXPECT_EQ(again->bits, nullptr);
    EXPECT_STREQ(again->name->c_str(), "No images in system");
}

TEST_F(FolderSource, TheKindOfAFileNameFollowsThePatterns) {
    struct Case {
        const char* name;
        int type;  // -1: not a picture name
        int typeWithMore;
    } cases[] = {{"a.jpg", 0, 0}, {"A.JPEG", 0, 0}, {"x.Bmp", 1, 1},      {"y.gif", 2, 2},
                 {"z.png", -1, 4}, {"jpg", -1, -1}, {"a.jpg.bak", -1, -1}, {".jpg", 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool more : {false, true}) {
            ImageType type = img_lib::IMAGE_JPEG;
            const bool known = _CImageDatabase::typeOfName(c.name, type, more);
            EXPECT_EQ(known ? int(type) : -1, more ? c.typeWithMore : c.type);
        }
    }
}

TEST_F(FolderSource, ListsJpegThenBmpThenGifAndPngLastWithMoreTypes) {
    for (const char* name : {"b.png", "d.gif", "c.jpg", "e.bmp"}) dir.write(name, "");
    EXPECT_EQ(listing(load()), (List{"c.jpg:0", "e.bmp:1", "d.gif:2"}));
    store.writeInt("Config", "MoreTypes", 1);
    EXPECT_EQ(listing(load()), (List{"c.jpg:0", "e.bmp:1", "d.gif:2", "b.png:4"}));
}

#ifndef _WIN32  // the folders and links are made with POSIX calls
TEST_F(FolderSource, SubfoldersAreListedWithinBoundsAndNeverThroughALink) {
    // The folder's own pictures first, then each subfolder's in pattern order.
    std::string deep = "d";
    for (int i = 1; i <= FolderWalk::kMaxDepth + 1; ++i) {
        ASSERT_EQ(mkdir((dir / deep).c_str(), 0700), 0);
        dir.write(deep + "/at" + std::to_string(i) + ".gif", "");
        deep += "/d";
    }
    ASSERT_EQ(mkdir((dir / "s").c_str(), 0700), 0);
    for (const char* name : {"s/x.gif", "s/y.jpg", "top.bmp"}) dir.write(name, "");
    TempDir outside;
    outside.write("elsewhere.jpg", "");
    // A loop back to the folder itself, a link out of the tree, and a hidden folder.
    ASSERT_EQ(symlink(dir.path.c_str(), (dir / "s/loop").c_str()), 0);
    ASSERT_EQ(symlink(outside.path.c_str(), (dir / "out").c_str()), 0);
    ASSERT_EQ(mkdir((dir / ".cache").c_str(), 0700), 0);
    dir.write(".cache/thumb.jpg", "");
    store.writeInt("Config", "Subfolders", 1);
    _Ref<_CImageDatabase> db = load();
    db->finishListing();
    const List unsorted = listing(db);
    // Within one folder, the patterns' order holds.
    EXPECT_LT(std::find(unsorted.begin(), unsorted.end(), "s/y.jpg:0"), std::find(unsorted.begin(), unsorted.end(), "s/x.gif:2"));
    List list = unsorted;
    std::sort(list.begin() + 1, list.end());  // the order of the folders is the system's
    List expected = {"top.bmp:1", "s/y.jpg:0", "s/x.gif:2"};
    deep = "d";
    for (int i = 1; i <= FolderWalk::kMaxDepth; ++i, deep += "/d") expected.push_back(deep + "/at" + std::to_string(i) + ".gif:2");
    std::sort(expected.begin() + 1, expected.end());
    EXPECT_EQ(list, expected);
}
#endif

}  // namespace

TEST(ShuffledRoundTest, EveryIndexOnceARoundAlsoWhenTheListGrowsOrShrinks) {
    std::srand(3);
    ShuffledRound round;
    EXPECT_EQ(round.next(0), -1);
    // Rounds of 3, one that grows to 5 after two draws, then rounds of 5 and of 2.
    const struct {
        int count;
        int draws;
    } phases[] = {{3, 3}, {3, 3}, {3, 2}, {5, 3}, {5, 5}, {2, 2}, {2, 2}};
    int last = -1;
    std::set<int> seen;
    for (const auto& p : phases) {
        if (p.count != 5 || p.draws != 3) seen.clear();  // the grown round goes on
        for (int i = 0; i < p.draws; ++i) {
            const int k = round.next(p.count);
            ASSERT_GE(k, 0);
            ASSERT_LT(k, p.count);
            EXPECT_TRUE(seen.insert(k).second) << "twice in one round: " << k;
            EXPECT_NE(k, last);
            last = k;
        }
    }
}
