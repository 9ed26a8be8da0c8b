// The database commands of glimsel-idb, run as the build and the developers run them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "sources/ArrayFile.h"
#include "tests/TestPlatform.h"
#include "tests/sources/SourceTestKit.h"

using namespace sourcetest;

namespace {

struct Result {
    int status;
    std::string output;  // standard output and standard error together
};

Result tool(const std::string& arguments) {
    const std::string command = std::string("'") + GLIMSEL_IDB_TOOL + "' " + arguments + " 2>&1";
    Result r{-1, std::string()};
    FILE* p = popen(command.c_str(), "r");
    if (!p) return r;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, p)) > 0) r.output.append(chunk, n);
    const int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class IdbTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.ok());
        bmp = dir.write("pic.bmp", tinyBmp());
        gif = dir.write("pic.gif", tinyGif());
    }

    std::string q(const std::string& name) const { return "'" + dir / name + "'"; }

    torvik_lang::_Ref<util_ds::_ArrayFile> openDatabase(const std::string& name) const {
        torvik_lang::_Ref<util_ds::_ArrayFile> a = new util_ds::_ArrayFile();
        a->open(new torvik_io::_File((dir / name).c_str()), false);
        return a;
    }

    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir;
    std::string bmp, gif;
};

TEST_F(IdbTool, EveryCommandExplainsItself) {
    for (const char* command : {"create", "list", "extract", "check", "render"}) {
        SCOPED_TRACE(command);
        const Result r = tool(std::string(command) + " --help");
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.output.find(std::string("Usage: glimsel-idb ") + command), std::string::npos) << r.output;
    }
}

TEST_F(IdbTool, CreateRefusesWhatItCannotStoreAndLeavesNothingBehind) {
    dir.write("notes.txt", "text");
    struct Case {
        const char* name;
        std::string arguments;
        const char* message;
    } cases[] = {
        {"unknown kind", q("pic.bmp") + " " + q("notes.txt"), "is not a .jpg, .jpeg, .bmp, .gif or .png file"},
        {"missing file", q("pic.bmp") + " " + q("gone.gif"), "is not a readable file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = folderEntries();
        const Result r = tool("create " + q("out.idb") + " " + c.arguments);
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
        EXPECT_EQ(folderEntries(), before);
    }
    // An earlier database survives a failed run unchanged.
    dir.write("out.idb", "earlier");
    EXPECT_NE(tool("create " + q("out.idb") + " " + q("pic.gif") + " " + q("gone.jpg")).status, 0);
    EXPECT_EQ(TempDir::read(dir / "out.idb"), "earlier");
}

TEST_F(IdbTool, CreateListAndExtractRoundTrip) {
    ASSERT_TRUE(test_platform::makeFolder(dir / "folder"));
    dir.write("folder/z.gif", tinyGif());
    dir.write("folder/a.bmp", tinyBmp());
    dir.write("folder/.hidden.bmp", tinyBmp());
    dir.write("folder/notes.txt", "text");
    const Result created = tool("create " + q("db.idb") + " " + q("pic.gif") + " " + q("folder") + " " + q("pic.bmp"));
    ASSERT_EQ(created.status, 0) << created.output;

    // The container: record 0 empty, then code, three zeros and the file.
    torvik_lang::_Ref<util_ds::_ArrayFile> a = openDatabase("db.idb");
    ASSERT_EQ(a->getCount(), 5);
    EXPECT_EQ(a->getFirstIndex(), 0);
    EXPECT_EQ(a->getRecordSize(0), 0);
    const std::string bytes = TempDir::read(dir / "db.idb");
    const std::string expected[] = {pictureRecord(2, tinyGif()), pictureRecord(1, tinyBmp()),
                                    pictureRecord(2, tinyGif()), pictureRecord(1, tinyBmp())};
    for (int k = 1; k <= 4; ++k) {
        SCOPED_TRACE(k);
        ASSERT_EQ(a->getRecordSize(k), static_cast<int>(expected[k - 1].size()));
        EXPECT_EQ(bytes.substr(static_cast<size_t>(a->offsets->data[k]), expected[k - 1].size()), expected[k - 1]);
        const Result extracted = tool("extract " + q("db.idb") + " " + std::to_string(k) + " " + q("x"));
        ASSERT_EQ(extracted.status, 0) << extracted.output;
        EXPECT_EQ(TempDir::read(dir / "x"), expected[k - 1].substr(idb_record::kHeaderBytes));
    }
    a->close();

    const Result listed = tool("list " + q("db.idb"));
    EXPECT_EQ(listed.status, 0);
    for (const char* line : {"       0  reserved", "       1  GIF             35  1x1", "       2  BMP             78  3x2",
                             "       4  BMP             78  3x2"}) {
        EXPECT_NE(listed.output.find(line), std::string::npos) << line << "\n" << listed.output;
    }
    EXPECT_NE(tool("extract " + q("db.idb") + " 0 " + q("x")).status, 0);
    EXPECT_NE(tool("extract " + q("db.idb") + " 5 " + q("x")).status, 0);

    const Result rendered = tool("render " + q("db.idb") + " 2 " + q("two.png") + " --scale 200");
    ASSERT_EQ(rendered.status, 0) << rendered.output;
    EXPECT_EQ(TempDir::read(dir / "two.png").substr(1, 3), "PNG");
    EXPECT_EQ(tool("check " + q("db.idb")).status, 0);
}

TEST_F(IdbTool, CheckReportsEachBrokenRecord) {
    writeArrayFile(dir / "bad.idb", {"", pictureRecord(1, tinyBmp()), pictureRecord(2, "GIF89a cut"),
                                     pictureRecord(7, tinyGif()), "\x01"});
    const Result r = tool("check " + q("bad.idb"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output.find("record 1:"), std::string::npos) << r.output;
    for (const char* line : {"record 2: ", "record 3: unknown format code 7", "record 4: record of 1 bytes holds no picture",
                             "4 pictures, 3 failed"}) {
        EXPECT_NE(r.output.find(line), std::string::npos) << line << "\n" << r.output;
    }
    dir.write("not.idb", "\x35\x35 no database");
    const Result refused = tool("check " + q("not.idb"));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("No array file"), std::string::npos) << refused.output;
}

}  // namespace

TEST_F(IdbTool, CreateTakesSubfoldersAndPngPicturesWhenAsked) {
    ASSERT_EQ(tool("render " + q("pic.bmp") + " " + q("pic.png")).status, 0);
    std::filesystem::create_directories(dir / "lib/2020");
    dir.write("lib/2020/deep.gif", tinyGif());
    std::filesystem::copy_file(dir / "pic.png", dir / "lib/top.png");
    const struct {
        const char* flags;
        int records;  // record 0 included
    } cases[] = {{"", 1}, {"--subfolders", 2}, {"--more-types", 2}, {"--subfolders --more-types", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        const Result created = tool(std::string("create ") + c.flags + " " + q("db.idb") + " " + q("lib"));
        ASSERT_EQ(created.status, 0) << created.output;
        EXPECT_EQ(openDatabase("db.idb")->getCount(), c.records);
    }
    // A PNG named on its own is taken as it is, and decodes.
    ASSERT_EQ(tool("create " + q("db.idb") + " " + q("pic.png")).status, 0);
    EXPECT_NE(tool("list " + q("db.idb")).output.find("PNG"), std::string::npos);
    EXPECT_EQ(tool("check " + q("db.idb")).status, 0);
}
