// _FreewareIdb: which records it draws, how it names them, how it grows its buffer, what
// it makes of damaged files, and where it looks for the database.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "sources/FreewareIdb.h"
#include "tests/TestPlatform.h"
#include "tests/sources/SourceTestKit.h"

using namespace sourcetest;
using img_lib::_ImageInfo;
using torvik_io::_File;
using torvik_lang::_Ref;

namespace {

class DatabaseSource : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.ok());
        std::srand(7);
    }

    _Ref<_FreewareIdb> open(const std::vector<std::string>& records) {
        writeArrayFile(dir / "Glimsel.idb", records);
        return openFile(dir / "Glimsel.idb");
    }
    _Ref<_FreewareIdb> openFile(const std::string& path) {
        _Ref<_FreewareIdb> db = new _FreewareIdb();
        opened = db->openDatabase(new _File(path.c_str()));
        return db;
    }

    // The names of `calls` pictures drawn in a row; "" for a record without a picture.
    static std::multiset<std::string> draw(const _Ref<_FreewareIdb>& db, int calls, std::string* lastMessage = nullptr) {
        std::multiset<std::string> names;
        for (int i = 0; i < calls; ++i) {
            _Ref<_ImageInfo> image = db->getRandomImage();
            EXPECT_TRUE(image);
            EXPECT_TRUE(image->name);
            if (!image || !image->name) continue;
            if (!image->bits && lastMessage) *lastMessage = image->name->c_str();
            names.insert(image->bits ? image->name->c_str() : "");
            image->freeImage();
        }
        return names;
    }

    TempDir dir;
    bool opened = false;
};

TEST_F(DatabaseSource, DrawsOnlyThePictureRecordsAndNamesThemByIndex) {
    // Record 0 holds a good picture: drawing it would show up as "Image Nr: 0".
    _Ref<_FreewareIdb> db = open({pictureRecord(1, tinyBmp()), pictureRecord(2, tinyGif()),
                                   pictureRecord(1, tinyBmp()), pictureRecord(2, tinyGif())});
    ASSERT_TRUE(opened);
    EXPECT_EQ(db->getImageCount(), 3);
    const std::multiset<std::string> names = draw(db, 200);
    EXPECT_EQ(names.count(""), 0u);
    for (const char* name : {"Image Nr: 1", "Image Nr: 2", "Image Nr: 3"}) EXPECT_GT(names.count(name), 20u) << name;
    EXPECT_EQ(names.size(), 200u);
}

TEST_F(DatabaseSource, AGifRecordDecodesAsThatGif) {
    _Ref<_FreewareIdb> db = open({"", pictureRecord(2, tinyGif())});
    _Ref<_ImageInfo> image = db->getRandomImage();
    ASSERT_NE(image->bits, nullptr);
    EXPECT_EQ(image->type, img_lib::IMAGE_GIF);
    EXPECT_EQ(image->width(), 1);
    EXPECT_STREQ(image->name->c_str(), "Image Nr: 1");
    image->freeImage();
}

TEST_F(DatabaseSource, RecordsItCannotShowAreWastedDraws) {
    // Unknown format code, too short for a picture, a broken picture: never shown.
    const std::vector<std::string> bad = {pictureRecord(5, tinyGif()), pictureRecord(-1, tinyBmp()), std::string("\x01\0", 2),
                                          pictureRecord(1, "BM"), pictureRecord(0, "not a jpeg")};
    for (const std::string& record : bad) {
        SCOPED_TRACE(record.size());
        _Ref<_FreewareIdb> db = open({"", record, pictureRecord(1, tinyBmp())});
        const std::multiset<std::string> names = draw(db, 20);
        EXPECT_EQ(names.count("Image Nr: 2"), 20u);

        std::string message;
        _Ref<_FreewareIdb> alone = open({"", record});
        EXPECT_EQ(draw(alone, 1, &message).count(""), 1u);
        EXPECT_EQ(message, "Image Nr: 1");
    }
}

TEST_F(DatabaseSource, WithoutPictureRecordsItOffersNone) {
    for (size_t records : {0u, 1u}) {
        SCOPED_TRACE(records);
        _Ref<_FreewareIdb> db = open(std::vector<std::string>(records, pictureRecord(1, tinyBmp())));
        ASSERT_TRUE(opened);
        EXPECT_EQ(db->getImageCount(), 0);
        std::string message;
        EXPECT_EQ(draw(db, 1, &message).count(""), 1u);
        EXPECT_EQ(message, "No images in system");
    }
    // Never opened.
    _Ref<_FreewareIdb> fresh = new _FreewareIdb();
    EXPECT_EQ(fresh->getImageCount(), 0);
    EXPECT_STREQ(fresh->getRandomImage()->name->c_str(), "No images in system");
}

TEST_F(DatabaseSource, OpeningFailsQuietlyForFilesThatAreNoDatabase) {
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"magic 0x35 0x35", std::string("\x35\x35\x00\x02", 4) + le(0, 4) + le(1, 4) + le(24, 8) + le(0, 4)},
        {"version 3", std::string("\x34\x34\x00\x03", 4) + le(0, 4) + le(1, 4) + le(24, 8) + le(0, 4)},
        {"empty", ""},
        {"index cut off", std::string("\x34\x34\x00\x02", 4) + le(0, 4) + le(5, 4) + le(24, 8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        _Ref<_FreewareIdb> db = openFile(dir.write("x.idb", c.bytes));
        EXPECT_FALSE(opened);
    }
    openFile(dir / "missing.idb");
    EXPECT_FALSE(opened);
    _Ref<_FreewareIdb> db = new _FreewareIdb();
    EXPECT_FALSE(db->openDatabase(nullptr));
}

TEST_F(DatabaseSource, TheBufferGrowsForLargeRecordsAndIsKept) {
    const std::string large = pictureRecord(1, greyBmp(40, 40));
    ASSERT_GT(large.size(), 1000u);
    _Ref<_FreewareIdb> db = open({"", large});
    EXPECT_EQ(db->recordBuffer->capacity, 1000);
    _Ref<_ImageInfo> image = db->getRandomImage();
    ASSERT_NE(image->bits, nullptr);
    EXPECT_EQ(image->width(), 40);
    image->freeImage();
    const int grown = db->recordBuffer->capacity;
    EXPECT_GE(grown, static_cast<int>(large.size()));

    // A smaller record afterwards is read into the same buffer.
    _Ref<_FreewareIdb> both = open({"", large, pictureRecord(1, tinyBmp())});
    draw(both, 40);
    const int capacity = both->recordBuffer->capacity;
    const char* storage = both->recordBuffer->data;
    draw(both, 40);
    EXPECT_EQ(both->recordBuffer->capacity, capacity);
    EXPECT_EQ(both->recordBuffer->data, storage);
}

TEST_F(DatabaseSource, ARecordClaimingToBeHugeAllocatesNothing) {
    const std::string path = writeArrayFile(dir / "h.idb", {"", pictureRecord(1, tinyBmp())});
    // Record 1's size field says 2 GiB.
    std::string bytes = TempDir::read(path);
    bytes.replace(12 + 12 + 8, 4, le(0x7FFFFFF0, 4));
    _Ref<_FreewareIdb> db = openFile(dir.write("h.idb", bytes));
    ASSERT_TRUE(opened);
    std::string message;
    EXPECT_EQ(draw(db, 1, &message).count(""), 1u);
    EXPECT_EQ(message, "Image Nr: 1");
    EXPECT_EQ(db->recordBuffer->capacity, 1000);
}

TEST_F(DatabaseSource, DamagedDatabasesNeverCrash) {
    const std::string path = writeArrayFile(
        dir / "d.idb", {"", pictureRecord(2, tinyGif()), pictureRecord(1, tinyBmp()), pictureRecord(2, tinyGif())});
    const std::string good = TempDir::read(path);
    std::vector<std::string> damaged;
    for (size_t n = 0; n < good.size(); n += 3) damaged.push_back(good.substr(0, n));
    for (size_t i = 0; i < good.size(); ++i) {
        std::string b = good;
        b[i] = static_cast<char>(b[i] ^ 0xA5);
        damaged.push_back(b);
    }
    for (const std::string& bytes : damaged) {
        _Ref<_FreewareIdb> db = openFile(dir.write("d.idb", bytes));
        EXPECT_GE(db->getImageCount(), 0);
        draw(db, 3);
    }
}

TEST_F(DatabaseSource, TheDatabaseIsLookedForBesideTheProgramOnly) {
    ASSERT_TRUE(test_platform::makeFolder(dir / "bin"));
    ASSERT_TRUE(test_platform::makeFolder(dir / "work"));
    writeArrayFile(dir / "bin/Glimsel.idb", {"", pictureRecord(2, tinyGif())});
    writeArrayFile(dir / "work/Glimsel.idb", {"", pictureRecord(2, tinyGif()), pictureRecord(2, tinyGif())});
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir((dir / "work").c_str()), 0);

    _Ref<_File> found = findDatabaseFile(new _File((dir / "bin/glimsel").c_str()));
    const std::string foundPath = found ? found->getPath()->c_str() : "<none>";
    _Ref<_File> none = findDatabaseFile(new _File((dir / "elsewhere/glimsel").c_str()));
    // The test program's own folder holds no database, whatever the working directory holds.
    _Ref<_File> beside = findDatabaseFile();
    _Ref<_FreewareIdb> db = new _FreewareIdb();
    const bool opensFromWork = db->openDatabase();
    ASSERT_EQ(chdir(previous), 0);

    EXPECT_EQ(foundPath, dir / "bin" + test_platform::native("/Glimsel.idb"));
    EXPECT_FALSE(none);
    EXPECT_FALSE(beside);
    EXPECT_FALSE(opensFromWork);
    EXPECT_FALSE(findDatabaseFile(nullptr));
}

}  // namespace
