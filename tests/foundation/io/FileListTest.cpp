// Listing a folder with a wildcard pattern.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/io/File.h"
#include "foundation/lang/Throwable.h"
#include "tests/kit/TempDir.h"

using namespace torvik_io;

namespace {

std::vector<std::string> names(const _Ref<torvik_util::_Enumeration>& e) {
    std::vector<std::string> out;
    while (e->hasMoreElements()) {
        _Ref<_Object> name = e->nextElement();
        if (!name) break;
        out.push_back(_Ref<_String>(name)->c_str());
    }
    return out;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

class FileList : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.ok());
        for (char const* name : {"b.GIF", "A.jpg", "IMG_0001.JPG", "c.jpeg", "notes.txt", ".hidden.jpg"}) {
            dir.write(name, "x");
        }
        std::filesystem::create_directory(dir / "folder.jpg");
        folder = new _File(dir.path.c_str());
    }
    TempDir dir;
    _Ref<_File> folder;
};

}  // namespace

TEST_F(FileList, PatternIgnoresLetterCase) {
    EXPECT_EQ(sorted(names(folder->list("*.jpg"))),
              (std::vector<std::string>{".hidden.jpg", "A.jpg", "IMG_0001.JPG", "folder.jpg"}));
    EXPECT_EQ(names(folder->list("*.gif")), std::vector<std::string>{"b.GIF"});
    EXPECT_EQ(names(folder->list("*.JPEG")), std::vector<std::string>{"c.jpeg"});
    EXPECT_EQ(names(folder->list("?.JPG")), std::vector<std::string>{"A.jpg"});
    EXPECT_TRUE(names(folder->list("*.bmp")).empty());
}

TEST_F(FileList, NamesComeInTheFoldersOwnOrder) {
    std::vector<std::string> expected;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        std::string name = entry.path().filename().string();
        if (glimsel_os::wildcardMatch("*.jp*g", name.c_str())) expected.push_back(name);
    }
    EXPECT_EQ(names(folder->list("*.jp*g")), expected);
}

TEST_F(FileList, DotEntriesComeWhenThePatternMatchesThem) {
    std::vector<std::string> all = names(folder->list("*"));
    EXPECT_EQ(std::count(all.begin(), all.end(), "."), 1);
    EXPECT_EQ(std::count(all.begin(), all.end(), ".."), 1);
    EXPECT_EQ(all.size(), 9u);
#ifndef _WIN32
    // Windows finds the folder itself by the name ".".
    EXPECT_EQ(sorted(names(folder->list("."))), std::vector<std::string>{"."});
#endif
}

// With a trailing separator or through "..", the folder lists the same entries; the
// listing outlives the file object it came from.
TEST_F(FileList, OtherSpellingsOfTheFolderListTheSame) {
    for (const std::string& spelling : {dir.path, dir.path + "/", dir / "folder.jpg/.."}) {
        SCOPED_TRACE(spelling);
        _Ref<torvik_util::_Enumeration> e = _Ref<_File>(new _File(spelling.c_str()))->list("*.gif");
        EXPECT_EQ(names(e), std::vector<std::string>{"b.GIF"});
    }
}

TEST_F(FileList, MissingFolderYieldsNothing) {
    _Ref<_File> missing = new _File((dir / "missing").c_str());
    _Ref<torvik_util::_Enumeration> e = missing->list("*.jpg");
    EXPECT_FALSE(e->hasMoreElements());
    EXPECT_TRUE(e->nextElement().isNull());
    // A file in place of the folder is no folder either.
    EXPECT_FALSE(_Ref<_File>(new _File((dir / "A.jpg").c_str()))->list("*")->hasMoreElements());
}

TEST_F(FileList, EndedSearchKeepsGivingNull) {
    _Ref<torvik_util::_Enumeration> e = folder->list("*.gif");
    ASSERT_TRUE(e->hasMoreElements());
    EXPECT_STREQ(_Ref<_String>(e->nextElement())->c_str(), "b.GIF");
    EXPECT_FALSE(e->hasMoreElements());
    EXPECT_TRUE(e->nextElement().isNull());
    EXPECT_TRUE(e->nextElement().isNull());
}

TEST_F(FileList, NullPatternThrows) {
    EXPECT_THROW(folder->list(nullptr), torvik_lang::Throwable);
}

