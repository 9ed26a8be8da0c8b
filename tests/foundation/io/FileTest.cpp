// _File against the real file system: existence, folders, absolute paths, identity.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "foundation/io/File.h"
#include "foundation/lang/Throwable.h"
#include "tests/kit/TempDir.h"

using namespace torvik_io;
using torvik_lang::_S;
using torvik_lang::Throwable;

namespace {

_Ref<_File> file(const std::string& path) { return new _File(path.c_str()); }

// Restores the working directory the test started in.
class WorkingDirectory {
public:
    WorkingDirectory() {
        char buffer[4096];
        if (getcwd(buffer, sizeof buffer)) saved = buffer;
    }
    ~WorkingDirectory() {
        if (!saved.empty() && chdir(saved.c_str()) != 0) std::abort();
    }
    std::string saved;
};

// Runs a test beside a fresh folder of its own.
class FileOnDisk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }
    TempDir dir;
};

}  // namespace

TEST(File, NullPathOrNameThrowsWithoutMessage) {
    auto expectBare = [](auto make) {
        try {
            make();
            ADD_FAILURE() << "no exception";
        } catch (Throwable& t) {
            EXPECT_TRUE(t.getMessage().isNull());
        }
    };
    _Ref<_File> dir = new _File("d");
    expectBare([] { _File f(static_cast<char const*>(nullptr)); });
    expectBare([] { _File f(_Ref<_String>(nullptr)); });
    expectBare([&] { _File f(dir, static_cast<char const*>(nullptr)); });
    expectBare([&] { _File f(dir, _Ref<_String>(nullptr)); });
    expectBare([] { _File f(_Ref<_File>(nullptr), "x"); });
}

TEST(File, IdentityFollowsThePath) {
    _Ref<_File> a = new _File("/x/y.gif");
    _Ref<_File> b = new _File(_S("/x/y.gif"));
    _Ref<_File> c = new _File("/x/z.gif");
    EXPECT_EQ(a->hashCode(), _S("/x/y.gif")->hashCode() ^ 0x12D591);
    EXPECT_EQ(a->hashCode(), b->hashCode());
    EXPECT_STREQ(a->toString()->c_str(), "/x/y.gif");
    EXPECT_STREQ(a->getPath()->c_str(), "/x/y.gif");
    EXPECT_TRUE(a->equalsPath(b));
    EXPECT_FALSE(a->equalsPath(c));
    EXPECT_FALSE(a->equalsPath(nullptr));
    EXPECT_FALSE(a->equalsPath(_S("/x/y.gif")));
    EXPECT_FALSE(a->equals(_Ref<_Object>(b)));  // identity, not the path
}

TEST_F(FileOnDisk, ExistsForFilesAndFolders) {
    dir.write("a.txt", "x");
    EXPECT_TRUE(file(dir.path)->exists());
    EXPECT_TRUE(file(dir / "a.txt")->exists());
    EXPECT_FALSE(file(dir / "b.txt")->exists());
    EXPECT_TRUE(file(dir / ".")->exists());
    EXPECT_TRUE(file(dir / "..")->exists());
}

TEST_F(FileOnDisk, MkdirMakesOneLevel) {
    EXPECT_TRUE(file(dir / "a")->mkdir());
    EXPECT_FALSE(file(dir / "a")->mkdir());
    EXPECT_FALSE(file(dir / "b/c")->mkdir());
    EXPECT_FALSE(file(dir / "b")->exists());
}

TEST_F(FileOnDisk, MkdirsMakesEveryMissingLevelOnce) {
    _Ref<_File> nested = file(dir / "a/b/c/d");
    EXPECT_TRUE(nested->mkdirs());
    EXPECT_TRUE(file(dir / "a/b/c/d")->exists());
    EXPECT_FALSE(nested->mkdirs());
    EXPECT_FALSE(file(dir.path)->mkdirs());
    // A level that exists below a missing one ends the walk, as does a file in the way.
    EXPECT_TRUE(file(dir / "a/x")->mkdirs());
    dir.write("f", "");
    EXPECT_FALSE(file(dir / "f/g/h")->mkdirs());
    EXPECT_FALSE(file(dir / "f/g")->exists());
}

TEST_F(FileOnDisk, MkdirsOfManyLevelsDoesNotRecurse) {
    // Far too long to be made, below a file: the walk climbs every level and ends there.
    std::string deep = dir.write("f", "");
    for (int i = 0; i < 200000; ++i) deep += "/d";
    EXPECT_FALSE(file(deep)->mkdirs());
    EXPECT_EQ(TempDir::read(dir / "f"), "");
}

#ifndef _WIN32
// The working directory's rules of POSIX paths.
TEST_F(FileOnDisk, AbsolutePathJoinsTheWorkingDirectory) {
    WorkingDirectory restore;
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    char buffer[4096];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    std::string cwd = buffer;
    EXPECT_EQ(std::string(file("a/b.gif")->getAbsolutePath()->c_str()), cwd + "/a/b.gif");
    EXPECT_STREQ(file("/q/r")->getAbsolutePath()->c_str(), "/q/r");
    EXPECT_TRUE(file("x")->getAbsoluteFile()->isAbsolute());
    // At the root the separator is not doubled.
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_STREQ(file("x")->getAbsolutePath()->c_str(), "/x");
}

TEST_F(FileOnDisk, AbsolutePathWithoutWorkingDirectoryThrows) {
    WorkingDirectory restore;
    std::string gone = dir / "gone";
    ASSERT_TRUE(file(gone)->mkdir());
    ASSERT_EQ(chdir(gone.c_str()), 0);
    ASSERT_EQ(rmdir(gone.c_str()), 0);
    try {
        file("x")->getAbsolutePath();
        FAIL() << "no exception";
    } catch (Throwable& t) {
        ASSERT_FALSE(t.getMessage().isNull());
        EXPECT_STREQ(t.getMessage()->c_str(), "GetCurrentDirectory returned 0");
    }
}
#endif

#ifdef _WIN32
TEST(File, UserPathIsTheProfileFolder) {
    _Ref<_File> home = _File::getUserPath();
    ASSERT_FALSE(home.isNull());
    EXPECT_TRUE(home->exists());
}
#else
TEST(File, UserPathIsTheHomeFolder) {
    char const* saved = std::getenv("HOME");
    std::string old = saved ? saved : "";
    setenv("HOME", "/home/someone", 1);
    _Ref<_File> home = _File::getUserPath();
    if (saved) setenv("HOME", old.c_str(), 1); else unsetenv("HOME");
    ASSERT_FALSE(home.isNull());
    EXPECT_STREQ(home->getPath()->c_str(), "/home/someone");
}
#endif
