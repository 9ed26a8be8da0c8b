#include <gtest/gtest.h>

#include <vector>

#include "app/CommandLine.h"
#include "app/RunSettingsStore.h"
#include "platform/headless/MemorySettingsStore.h"

using glimsel_app::CommandLine;
using glimsel_app::parseCommandLine;
using glimsel_app::RunMode;
using glimsel_app::RunOptions;

namespace {

CommandLine parse(std::vector<char const*> args, char const* daemon = nullptr) {
    args.insert(args.begin(), "glimsel");
    return parseCommandLine(static_cast<int>(args.size()), args.data(), daemon);
}

struct Case {
    std::vector<char const*> args;
    RunMode mode;
    uint64_t parent;
    char const* daemon = nullptr;
    bool root = false;
};

class CommandLineTable : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(CommandLineTable, SelectsMode) {
    const Case& c = GetParam();
    CommandLine line = parse(c.args, c.daemon);
    EXPECT_EQ(line.mode, c.mode);
    EXPECT_EQ(line.previewParent, c.parent);
    EXPECT_EQ(line.rootWindow, c.root);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CommandLineTable,
    ::testing::Values(Case{{}, RunMode::Settings, 0}, Case{{"/c"}, RunMode::Settings, 0},
                      Case{{"-C"}, RunMode::Settings, 0}, Case{{"c"}, RunMode::Settings, 0},
                      Case{{"/c:4711"}, RunMode::Settings, 0}, Case{{"/C:4711"}, RunMode::None, 0},
                      Case{{"/s"}, RunMode::Saver, 0}, Case{{"-S"}, RunMode::Saver, 0},
                      Case{{"s"}, RunMode::Saver, 0}, Case{{"S"}, RunMode::Saver, 0},
                      Case{{"/s", "extra"}, RunMode::Saver, 0},
                      Case{{"/s5"}, RunMode::None, 0}, Case{{"//s"}, RunMode::None, 0},
                      Case{{"/t"}, RunMode::TestSaver, 0}, Case{{"/p", "4711"}, RunMode::Preview, 4711},
                      Case{{"/p", "  +12abc"}, RunMode::Preview, 12}, Case{{"/p"}, RunMode::None, 0},
                      Case{{"/p", "abc"}, RunMode::None, 0}, Case{{"/p:123"}, RunMode::None, 0},
                      Case{{"/p", "0x2a00007"}, RunMode::Preview, 0x2a00007},
                      Case{{"/p", "0x"}, RunMode::None, 0}, Case{{"x"}, RunMode::None, 0},
                      Case{{}, RunMode::Settings, 0, "nonsense"}, Case{{}, RunMode::Preview, 0x400001, "0x400001"}));

INSTANTIATE_TEST_SUITE_P(
    DaemonOptions, CommandLineTable,
    ::testing::Values(Case{{"-window-id", "0x2a"}, RunMode::Preview, 42},
                      Case{{"--window-id", "77"}, RunMode::Preview, 77},
                      Case{{"--window-id", "010"}, RunMode::Preview, 10},
                      Case{{"--window-id", "0x2a junk"}, RunMode::None, 0},
                      Case{{"--window-id", "0x1ffffffff"}, RunMode::None, 0},
                      Case{{"-window-id"}, RunMode::None, 0},
                      // The settings program adds its pane to whatever the entry says.
                      Case{{"/s", "--window-id", "0x2a"}, RunMode::Preview, 42},
                      Case{{"/p", "7", "--window-id", "junk"}, RunMode::None, 0},
                      Case{{"--speed", "5", "--window-id", "0x2a"}, RunMode::Preview, 42},
                      Case{{"--root", "--window-id", "0x2a"}, RunMode::Preview, 42, "0x77"},
                      Case{{"-root"}, RunMode::Preview, 1234, "1234"}, Case{{"--root"}, RunMode::Preview, 0, nullptr, true},
                      Case{{"--root", "--speed", "40"}, RunMode::Preview, 0x77, "0x77"},
                      Case{{"--speed", "40"}, RunMode::TestSaver, 0}, Case{{"--root", "--bogus"}, RunMode::None, 0},
                      Case{{"---root"}, RunMode::None, 0}, Case{{"--Root"}, RunMode::None, 0},
                      Case{{"--root", "--help"}, RunMode::Help, 0}, Case{{"-version"}, RunMode::Version, 0},
                      Case{{"/s", "--help"}, RunMode::Help, 0}, Case{{"/s"}, RunMode::Preview, 0x77, "0x77"},
                      Case{{"/t"}, RunMode::TestSaver, 0, "0x77"}));

TEST(CommandLine, SettingsOwnerFromColonForm) {
    EXPECT_EQ(parse({"/c:4711"}).settingsOwner, 4711u);
    EXPECT_EQ(parse({"/c:x"}).settingsOwner, 0u);
    EXPECT_EQ(parse({"/c"}).settingsOwner, 0u);
}

TEST(CommandLine, RunOptionsAndRefusedValues) {
    CommandLine line = parse({"--root", "-speed", "100", "--no-flash", "--flash", "--flash-speed", "1",
                              "--folder", "/pics", "--window-id", "9"});
    EXPECT_EQ(line.mode, RunMode::Preview);
    EXPECT_EQ(line.options.speed, 100);
    EXPECT_EQ(line.options.flash, true);
    EXPECT_EQ(line.options.flashSpeed, 1);
    EXPECT_EQ(line.options.pictures, RunOptions::Pictures::Folder);
    EXPECT_EQ(line.options.folder, "/pics");
    EXPECT_FALSE(parse({"/s"}).options.any());
    EXPECT_EQ(parse({"/s", "--bundled"}).options.pictures, RunOptions::Pictures::Bundled);
    const RunOptions choices = parse({"/s", "--upright", "-subfolders", "--no-repeats", "--more-types"}).options;
    EXPECT_TRUE(choices.upright && choices.subfolders && choices.noRepeats && choices.moreTypes);
    EXPECT_TRUE(parse({"/s", "--more-types"}).options.any());

    for (auto args : std::vector<std::vector<char const*>>{{"--speed", "0"}, {"--speed", "101"},
                                                           {"--speed", "5x"}, {"--speed", "-5"},
                                                           {"--flash-speed", "99999999999"}, {"--speed"},
                                                           {"--folder", ""}, {"/s", "--speed", "\x01\x02"}}) {
        CommandLine bad = parse(args);
        EXPECT_EQ(bad.mode, RunMode::None) << args[0];
        EXPECT_FALSE(bad.error.empty()) << args[0];
        EXPECT_EQ(bad.error.find('\x01'), std::string::npos);
    }
    EXPECT_TRUE(parse({"--bogus"}).error.empty());
}

TEST(RunSettingsStore, OptionsOverlayTheStoreAndLeaveItAlone) {
    glimsel_headless::MemorySettingsStore stored;
    stored.writeInt("Config", "Speed", 20);
    stored.writeInt("Config", "flashSleep", 30);
    stored.writeString("Config", "Path", "/stored");

    struct Overlay {
        RunOptions options;
        int speed, flashSleep;
        char const* path;  // null: absent (the bundled pictures)
    };
    RunOptions none, fast, off, quick, folder, bundled;
    fast.speed = 90;
    off.flash = false;
    quick.flashSpeed = 75;
    folder.pictures = RunOptions::Pictures::Folder;
    folder.folder = "/run";
    bundled.pictures = RunOptions::Pictures::Bundled;
    for (const Overlay& o : {Overlay{none, 20, 30, "/stored"}, Overlay{fast, 90, 30, "/stored"},
                             Overlay{off, 20, -1, "/stored"}, Overlay{quick, 20, 25, "/stored"},
                             Overlay{folder, 20, 30, "/run"}, Overlay{bundled, 20, 30, nullptr}}) {
        glimsel_app::RunSettingsStore run(stored, o.options);
        EXPECT_EQ(run.getInt("Config", "Speed", 50), o.speed);
        EXPECT_EQ(run.getInt("Config", "flashSleep", -1), o.flashSleep);
        std::string path;
        EXPECT_EQ(run.getString("Config", "Path", path), o.path != nullptr);
        if (o.path) {
            EXPECT_EQ(path, o.path);
        }
        run.writeInt("Config", "Speed", 1);
        run.writeInt("Config", "flashSleep", 1);
        run.writeString("Config", "Path", nullptr);
        run.writeInt("", "ActivePage", 1);
        // What the options give stays as stored; the rest is written.
        EXPECT_EQ(stored.getInt("Config", "Speed", 0), o.options.speed ? 20 : 1);
        EXPECT_EQ(stored.getInt("", "ActivePage", 0), 1);
        stored.writeInt("Config", "Speed", 20);
        stored.writeInt("Config", "flashSleep", 30);
        stored.writeString("Config", "Path", "/stored");
    }

    // Switched on where it was stored off: the flash starts where ticking its box does.
    stored.writeInt("Config", "flashSleep", -1);
    RunOptions on;
    on.flash = true;
    EXPECT_EQ(glimsel_app::RunSettingsStore(stored, on).getInt("Config", "flashSleep", -1), 50);

    // A folder choice given reads as on and keeps its stored value; one not given reads
    // as stored.
    stored.writeInt("Config", "Subfolders", 0);
    RunOptions upright;
    upright.upright = true;
    glimsel_app::RunSettingsStore run(stored, upright);
    run.writeInt("Config", "Upright", 0);
    run.writeInt("Config", "MoreTypes", 1);
    EXPECT_EQ(run.getInt("Config", "Upright", 0), 1);
    EXPECT_EQ(stored.getInt("Config", "Upright", 7), 7);
    EXPECT_EQ(run.getInt("Config", "Subfolders", 1), 0);
    EXPECT_EQ(run.getInt("Config", "MoreTypes", 0), 1);
}
