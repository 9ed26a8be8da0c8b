// The text rules of paths, under both separator styles.
#include <gtest/gtest.h>

#include <string>

#include "foundation/io/File.h"
#include "foundation/lang/Throwable.h"

using namespace torvik_io;
using torvik_lang::_S;

namespace {

constexpr glimsel_os::PathStyle WINDOWS{'\\', ';', true};
constexpr glimsel_os::PathStyle POSIX{'/', ':', false};

// Runs a test under one path style and puts the platform's own back afterwards.
class PathRules : public ::testing::Test {
protected:
    void use(const glimsel_os::PathStyle& style) { _File::setPathStyle(style); }
    void TearDown() override { _File::setPathStyle(glimsel_os::nativePathStyle()); }
};

std::string text(const _Ref<_String>& s) { return s ? s->c_str() : "<null>"; }

struct PathCase {
    const glimsel_os::PathStyle* style;
    char const* path;
    char const* name;
    char const* parent;  // "<null>" when there is none
    bool absolute;
};

const PathCase PATH_CASES[] = {
    {&WINDOWS, "C:\\a\\b.gif", "b.gif", "C:\\a", true},
    {&WINDOWS, "b.gif", "b.gif", "<null>", false},
    {&WINDOWS, "C:\\a", "a", "C:\\", true},
    {&WINDOWS, "C:\\", "", "<null>", true},
    {&WINDOWS, "a\\b", "b", "a", false},
    {&WINDOWS, "C:\\x", "x", "C:\\", true},
    {&WINDOWS, "C:x", "C:x", "<null>", false},
    {&WINDOWS, "\\\\server\\share", "share", "\\\\server", true},
    {&WINDOWS, "\\x", "x", "", false},  // shorter than a drive root
    {&WINDOWS, "x\\y", "y", "x", false},
    {&WINDOWS, "C:/a", "C:/a", "<null>", false},  // the other separator is a plain character
    {&WINDOWS, "a\\..", "..", "a", false},
    {&POSIX, "/a/b.gif", "b.gif", "/a", true},
    {&POSIX, "b.gif", "b.gif", "<null>", false},
    {&POSIX, "/a", "a", "/", true},
    {&POSIX, "/", "", "<null>", true},
    {&POSIX, "a/b", "b", "a", false},
    {&POSIX, "a/b/", "", "a/b", false},
    {&POSIX, "", "", "<null>", false},
    {&POSIX, "C:\\a", "C:\\a", "<null>", false},
    {&POSIX, "a/..", "..", "a", false},
    {&POSIX, "./x", "x", ".", false},
    {&POSIX, "/a/./b", "b", "/a/.", true},
};

}  // namespace

TEST_F(PathRules, NameParentAndAbsoluteness) {
    for (const PathCase& c : PATH_CASES) {
        use(*c.style);
        _Ref<_File> f = new _File(c.path);
        SCOPED_TRACE(c.path);
        EXPECT_EQ(text(f->getName()), c.name);
        EXPECT_EQ(text(f->getParent()), c.parent);
        EXPECT_EQ(f->isAbsolute(), c.absolute);
        _Ref<_File> parent = f->getParentFile();
        EXPECT_EQ(parent ? text(parent->getPath()) : "<null>", c.parent);
    }
}

TEST_F(PathRules, WithExtensionReplacesOnlyTheLastNamesExtension) {
    struct Case {
        const glimsel_os::PathStyle* style;
        char const* path;
        char const* result;
    } cases[] = {
        {&WINDOWS, "C:\\a\\b.gif", "C:\\a\\b.jpg"},
        {&WINDOWS, "C:\\a\\b", "C:\\a\\b.jpg"},
        {&WINDOWS, "C:\\a.d\\b", "C:\\a.d\\b.jpg"},
        {&WINDOWS, "b.tar.gz", "b.tar.jpg"},
        {&POSIX, "/a/b.gif", "/a/b.jpg"},
        {&POSIX, "/a.d/b", "/a.d/b.jpg"},
        {&POSIX, "b", "b.jpg"},
        {&POSIX, "b.", "b.jpg"},
    };
    for (const Case& c : cases) {
        use(*c.style);
        SCOPED_TRACE(c.path);
        EXPECT_EQ(text(_Ref<_File>(new _File(c.path))->withExtension("jpg")->getPath()), c.result);
    }
}

TEST_F(PathRules, DirectoryAndNameJoinWithOneSeparator) {
    struct Case {
        const glimsel_os::PathStyle* style;
        char const* dir;
        char const* name;
        char const* result;
    } cases[] = {
        {&WINDOWS, "C:\\", "x.gif", "C:\\x.gif"},
        {&WINDOWS, "C:\\a", "x.gif", "C:\\a\\x.gif"},
        {&WINDOWS, "C:\\a\\", "x.gif", "C:\\a\\x.gif"},
        {&WINDOWS, "C:\\a/", "x.gif", "C:\\a/\\x.gif"},
        {&POSIX, "/", "x.gif", "/x.gif"},
        {&POSIX, "/a", "x.gif", "/a/x.gif"},
        {&POSIX, "/a/", "x.gif", "/a/x.gif"},
        {&POSIX, ".", "x.gif", "./x.gif"},
        {&POSIX, "a", "", "a/"},
    };
    for (const Case& c : cases) {
        use(*c.style);
        SCOPED_TRACE(c.dir);
        _Ref<_File> dir = new _File(c.dir);
        EXPECT_EQ(text(_Ref<_File>(new _File(dir, c.name))->getPath()), c.result);
        EXPECT_EQ(text(_Ref<_File>(new _File(dir, _S(c.name)))->getPath()), c.result);
    }
}

TEST_F(PathRules, StyleSetsTheSeparatorStatics) {
    for (const glimsel_os::PathStyle* style : {&WINDOWS, &POSIX}) {
        use(*style);
        SCOPED_TRACE(style->separator);
        EXPECT_EQ(_File::separator->c_str(), std::string(1, style->separator));
        EXPECT_EQ(_File::separatorChar, style->separator);
        EXPECT_EQ(_File::pathSeparator->c_str(), std::string(1, style->pathSeparator));
        EXPECT_EQ(_File::pathSeparatorChar, style->pathSeparator);
    }
}

TEST_F(PathRules, StartUpSetsThePlatformsStyle) {
    glimsel_os::PathStyle native = glimsel_os::nativePathStyle();
    EXPECT_EQ(_File::separatorChar, native.separator);
    EXPECT_EQ(_File::pathSeparatorChar, native.pathSeparator);
    EXPECT_EQ(_File::getPathStyle().driveLetters, native.driveLetters);
}
