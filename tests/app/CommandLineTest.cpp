#include <gtest/gtest.h>

#include <vector>

#include "app/CommandLine.h"

using glimsel_app::CommandLine;
using glimsel_app::parseCommandLine;
using glimsel_app::RunMode;

namespace {

CommandLine parse(std::vector<char const*> args, char const* daemon = nullptr) {
    args.insert(args.begin(), "glimsel");
    return parseCommandLine(static_cast<int>(args.size()), args.data(), daemon);
}

struct Case {
    std::vector<char const*> args;
    RunMode mode;
    uint64_t parent;
};

class CommandLineTable : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(CommandLineTable, SelectsMode) {
    const Case& c = GetParam();
    CommandLine line = parse(c.args);
    EXPECT_EQ(line.mode, c.mode);
    EXPECT_EQ(line.previewParent, c.parent);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CommandLineTable,
    ::testing::Values(Case{{}, RunMode::Settings, 0}, Case{{"/c"}, RunMode::Settings, 0},
                      Case{{"-C"}, RunMode::Settings, 0}, Case{{"c"}, RunMode::Settings, 0},
                      Case{{"/c:4711"}, RunMode::Settings, 0}, Case{{"/C:4711"}, RunMode::None, 0},
                      Case{{"/s"}, RunMode::Saver, 0}, Case{{"-S"}, RunMode::Saver, 0},
                      Case{{"s"}, RunMode::Saver, 0}, Case{{"S"}, RunMode::Saver, 0},
                      Case{{"/s5"}, RunMode::None, 0}, Case{{"//s"}, RunMode::None, 0},
                      Case{{"/t"}, RunMode::TestSaver, 0}, Case{{"/p", "4711"}, RunMode::Preview, 4711},
                      Case{{"/p", "  +12abc"}, RunMode::Preview, 12}, Case{{"/p"}, RunMode::None, 0},
                      Case{{"/p", "abc"}, RunMode::None, 0}, Case{{"/p:123"}, RunMode::None, 0},
                      Case{{"x"}, RunMode::None, 0}, Case{{"-window-id", "0x2a"}, RunMode::Preview, 42},
                      Case{{"-window-id", "77"}, RunMode::Preview, 77},
                      Case{{"-window-id"}, RunMode::None, 0}));

TEST(CommandLine, SettingsOwnerFromColonForm) {
    EXPECT_EQ(parse({"/c:4711"}).settingsOwner, 4711u);
    EXPECT_EQ(parse({"/c:x"}).settingsOwner, 0u);
    EXPECT_EQ(parse({"/c"}).settingsOwner, 0u);
}

TEST(CommandLine, DaemonWindowFromEnvironment) {
    CommandLine line = parse({}, "0x400001");
    EXPECT_EQ(line.mode, RunMode::Preview);
    EXPECT_EQ(line.previewParent, 0x400001u);
    EXPECT_EQ(parse({}, "nonsense").mode, RunMode::Settings);
}

TEST(CommandLine, RootDrawsIntoDaemonWindowOrRoot) {
    CommandLine withDaemon = parse({"-root"}, "1234");
    EXPECT_EQ(withDaemon.mode, RunMode::Preview);
    EXPECT_EQ(withDaemon.previewParent, 1234u);
    EXPECT_FALSE(withDaemon.rootWindow);
    CommandLine alone = parse({"-root"});
    EXPECT_EQ(alone.mode, RunMode::Preview);
    EXPECT_TRUE(alone.rootWindow);
}
