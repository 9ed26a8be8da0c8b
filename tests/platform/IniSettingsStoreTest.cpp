#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/linux/IniSettingsStore.h"
#include "tests/kit/TempDir.h"

using glimsel_linux::IniSettingsStore;

namespace {

// A literal with its NUL bytes.
template <size_t N>
std::string bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

class IniSettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }

    std::string fileText() const { return TempDir::read(path); }
    void writeFile(const std::string& text) const { dir.write("Norvane/glimsel.ini", text); }

    TempDir dir;
    const std::string root = dir.path;
    const std::string path = dir / "Norvane/glimsel.ini";
};

TEST_F(IniSettingsStoreTest, AbsentValuesReadAsDefaultsAndReadingCreatesNothing) {
    IniSettingsStore store(path);
    EXPECT_EQ(store.getInt("Config", "Speed", 50), 50);
    EXPECT_EQ(store.getInt("Config", "flashSleep", -1), -1);
    EXPECT_EQ(store.getInt("", "ActivePage", 0), 0);
    std::string s = "untouched";
    EXPECT_FALSE(store.getString("Config", "Path", s));
    EXPECT_EQ(s, "untouched");
    struct stat st;
    EXPECT_NE(::stat((root + "/Norvane").c_str(), &st), 0);
}

TEST_F(IniSettingsStoreTest, IntegersRoundTripAsSigned32BitDecimal) {
    IniSettingsStore store(path);
    for (int v : {0, 1, 50, 100, -1, -7, INT_MAX, INT_MIN}) {
        store.writeInt("Config", "Speed", v);
        EXPECT_EQ(store.getInt("Config", "Speed", 12345), v);
    }
    store.writeInt("Config", "flashSleep", -1);
    EXPECT_NE(fileText().find("flashSleep=-1\n"), std::string::npos);
}

TEST_F(IniSettingsStoreTest, StringsRoundTripAndEveryReadSeesTheFile) {
    IniSettingsStore writer(path);
    IniSettingsStore reader(path);
    for (const char* v : {"/home/u/My Pictures", "", " x ", "a\nb", "C:\\pics", "**Freeware**"}) {
        writer.writeString("Config", "Path", v);
        std::string out;
        ASSERT_TRUE(reader.getString("Config", "Path", out));
        EXPECT_EQ(out, v);
    }
}

TEST_F(IniSettingsStoreTest, NullStringDeletesTheEntry) {
    IniSettingsStore store(path);
    store.writeString("Config", "Path", "/pics");
    store.writeInt("Config", "Speed", 70);
    store.writeString("Config", "Path", nullptr);
    std::string out;
    EXPECT_FALSE(store.getString("Config", "Path", out));
    EXPECT_EQ(store.getInt("Config", "Speed", 50), 70);
    EXPECT_EQ(fileText().find("Path"), std::string::npos);
    store.writeString("Config", "Path", nullptr);  // deleting what is absent is harmless
    EXPECT_EQ(store.getInt("Config", "Speed", 50), 70);
}

TEST_F(IniSettingsStoreTest, EmptySectionIsWrittenBeforeTheFirstHeader) {
    IniSettingsStore store(path);
    store.writeInt("Config", "Speed", 50);
    store.writeInt("", "ActivePage", 1);
    EXPECT_EQ(fileText(), "ActivePage=1\n\n[Config]\nSpeed=50\n");
    EXPECT_EQ(store.getInt("", "ActivePage", 0), 1);
}

TEST_F(IniSettingsStoreTest, DamagedFilesReadAsDefaultsAndCanBeWrittenAgain) {
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"binary", bytes("\x00\xff\x13[\x01\x02]\nSpeed\x00=9\n")},
        {"number with trailing text", "[Config]\nSpeed=50abc\n"},
        {"number out of range", "[Config]\nSpeed=4294967296\n"},
        {"empty number", "[Config]\nSpeed=\n"},
        {"hex number", "[Config]\nSpeed=0x20\n"},
        {"one huge line", "[Config]\nSpeed=" + std::string(1 << 20, '9')},
    };
    for (const Case& c : cases) {
        writeFile(c.text);
        IniSettingsStore store(path);
        EXPECT_EQ(store.getInt("Config", "Speed", 50), 50) << c.what;
        store.writeInt("Config", "flashSleep", 10);
        EXPECT_EQ(store.getInt("Config", "flashSleep", -1), 10) << c.what;
    }
}

TEST_F(IniSettingsStoreTest, UnreadableFilesAreKeptAsideAndNeverWrittenOver) {
    const std::string large = "[Config]\nPath=/pics\n" + std::string(IniSettingsStore::MAX_FILE, '\n');
    for (int round = 1; round <= 2; ++round) {
        writeFile(large);
        IniSettingsStore store(path);
        EXPECT_EQ(store.getInt("Config", "Speed", 50), 50);
        ::testing::internal::CaptureStderr();
        store.writeInt("Config", "Speed", 70);
        store.writeInt("Config", "flashSleep", 10);
        std::string said = ::testing::internal::GetCapturedStderr();
        // The second round finds the first aside file in place and takes the next name.
        const std::string aside = path + (round == 1 ? ".unreadable" : ".unreadable-2");
        EXPECT_NE(said.find("kept as " + aside), std::string::npos) << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << "said once: " << said;
        EXPECT_EQ(fileText(), "[Config]\nSpeed=70\nflashSleep=10\n");
        EXPECT_EQ(TempDir::read(aside), large);
    }
}

TEST_F(IniSettingsStoreTest, LinkedFilesAreWrittenThroughToTheirTarget) {
    const std::string dotfiles = root + "/dotfiles";
    ::mkdir(dotfiles.c_str(), 0700);
    ::mkdir((root + "/Norvane").c_str(), 0700);
    struct Case {
        const char* what;
        std::string linkText;  // what the link holds
        std::string target;
    } cases[] = {
        {"absolute", dotfiles + "/glimsel.ini", dotfiles + "/glimsel.ini"},
        {"relative", "../dotfiles/rel.ini", dotfiles + "/rel.ini"},
        {"dangling into a new folder", "../dotfiles/new/glimsel.ini", dotfiles + "/new/glimsel.ini"},
    };
    for (const Case& c : cases) {
        ::unlink(path.c_str());
        const bool dangling = std::string(c.what) == "dangling into a new folder";
        if (!dangling) std::ofstream(c.target) << "[Config]\nPath=/pics\n";
        ASSERT_EQ(::symlink(c.linkText.c_str(), path.c_str()), 0) << c.what;
        IniSettingsStore store(path);
        store.writeInt("Config", "Speed", 70);
        struct stat st;
        ASSERT_EQ(::lstat(path.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << c.what;
        EXPECT_EQ(store.getInt("Config", "Speed", 50), 70) << c.what;
        const std::string text = TempDir::read(c.target);
        EXPECT_NE(text.find("Speed=70"), std::string::npos) << c.what;
        EXPECT_EQ(text.find("Path=/pics") != std::string::npos, !dangling) << c.what;
    }
    // A chain of links that never ends is neither read nor written.
    ::unlink(path.c_str());
    ASSERT_EQ(::symlink("glimsel.ini", path.c_str()), 0);
    IniSettingsStore loop(path);
    loop.writeInt("Config", "Speed", 1);
    EXPECT_EQ(loop.getInt("Config", "Speed", 50), 50);
}

TEST_F(IniSettingsStoreTest, ByteOrderMarkIsReadOverAndKept) {
    writeFile("\xEF\xBB\xBF[Config]\r\nSpeed=70\r\n");
    IniSettingsStore store(path);
    EXPECT_EQ(store.getInt("Config", "Speed", 50), 70);
    store.writeInt("Config", "flashSleep", 10);
    EXPECT_EQ(fileText(), "\xEF\xBB\xBF[Config]\r\nSpeed=70\r\nflashSleep=10\n");
}

TEST_F(IniSettingsStoreTest, SomethingOtherThanAFileReadsAsDefaults) {
    ::mkdir((root + "/Norvane").c_str(), 0700);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);  // would block a plain open and read
    IniSettingsStore store(path);
    EXPECT_EQ(store.getInt("Config", "Speed", 50), 50);
    ::unlink(path.c_str());
    ::mkdir(path.c_str(), 0700);
    EXPECT_EQ(store.getInt("Config", "Speed", 50), 50);
    store.writeInt("Config", "Speed", 1);  // cannot replace a folder; not reported
}

TEST_F(IniSettingsStoreTest, NamesTheFileCannotHoldAreNeverWritten) {
    IniSettingsStore store(path);
    store.writeInt("Config", "Speed", 1);
    store.writeInt("Config", "Speed\n[Evil]\nX", 2);
    store.writeInt("Con]fig", "Speed", 3);
    EXPECT_EQ(fileText(), "[Config]\nSpeed=1\n");
}

TEST_F(IniSettingsStoreTest, TwoProcessesWritingSideBySideLoseNothing) {
    const int rounds = 200;
    IniSettingsStore store(path);
    store.writeInt("", "ActivePage", 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    const char* prefix = child == 0 ? "child" : "parent";
    IniSettingsStore mine(path);
    for (int i = 0; i < rounds; ++i) mine.writeInt("Config", (std::string(prefix) + std::to_string(i)).c_str(), i);
    if (child == 0) ::_exit(0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    int missing = 0;
    for (const char* p : {"child", "parent"}) {
        for (int i = 0; i < rounds; ++i) {
            if (store.getInt("Config", (std::string(p) + std::to_string(i)).c_str(), -1) != i) ++missing;
        }
    }
    EXPECT_EQ(missing, 0);
    // No temporary file is left behind.
    EXPECT_EQ(std::system(("test $(ls -A '" + root + "/Norvane' | wc -l) -eq 2").c_str()), 0);
}

TEST(IniSettingsStorePathTest, FollowsTheConfigHomeVariable) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    std::string keep = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", "/cfg/", 1);
    EXPECT_EQ(IniSettingsStore::defaultPath("glimsel"), "/cfg/Norvane/glimsel.ini");
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);  // not absolute: ignored
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    if (!home.empty()) {
        EXPECT_EQ(IniSettingsStore::defaultPath("Glimsel"), home + "/.config/Norvane/Glimsel.ini");
    }
    if (saved) {
        ::setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

TEST(IniSettingsStorePathTest, ProgramBaseNameDropsFolderAndExtension) {
    // The running test program's own name.
    EXPECT_EQ(IniSettingsStore::programBaseName(nullptr), "platform_linux_tests");
}

}  // namespace
