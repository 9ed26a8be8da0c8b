#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "foundation/lang/L.h"
#include "foundation/lang/Throwable.h"
#include "tests/TestPlatform.h"

using namespace torvik_lang;

namespace {

constexpr char const* OPEN = "{Can't open file '%s'} de{Kann Datei '%s' nicht \xF6" "ffnen}";

// Sets the language variables for one test and restores English afterwards.
class Language : public ::testing::Test {
protected:
    void use(bool german) {
        test_platform::useGerman(german);
        notifyLocaleChanged();
    }
    void TearDown() override { use(false); }
};

}  // namespace

TEST_F(Language, PicksTheSectionOfTheLanguage) {
    struct Case {
        bool german;
        char const* format;  // formatted with the argument "x.txt"
        char const* text;
    } cases[] = {
        {false, OPEN, "Can't open file 'x.txt'"},
        {true, OPEN, "Kann Datei 'x.txt' nicht \xF6" "ffnen"},
        {true, "{Only English %s}", "Only English x.txt"},  // falls back to the first section
        {false, "a\\b %s", "a\\b x.txt"},                   // no section: formatted unchanged
        {false, "{a\\}b\\\\c}", "a}b\\c"},                 // escapes inside a section
        {false, "{", ""},                                   // no section: the not-found text
        // A text that starts with a brace but whose only brace is the first one still has
        // an (empty-ended) section.
        {false, "{abc", "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        use(c.german);
        EXPECT_STREQ(L::getString(c.format, "x.txt")->c_str(), c.text);
    }
}

#ifndef _WIN32
// On Windows the thread's locale names the language.
TEST_F(Language, VariablesAreReadInOrder) {
    setenv("LANG", "de_DE", 1);
    setenv("LC_MESSAGES", "en_US", 1);
    unsetenv("LC_ALL");
    notifyLocaleChanged();
    EXPECT_STREQ(L::getString("{en} de{de}")->c_str(), "en");
    unsetenv("LC_MESSAGES");
    notifyLocaleChanged();
    EXPECT_STREQ(L::getString("{en} de{de}")->c_str(), "de");
    unsetenv("LANG");
}
#endif

TEST(LFormat, BufferGrowsInStepsOfHundred) {
    std::string longText(250, 'x');
    _Ref<_String> s = L::sprintf("%s", longText.c_str());
    EXPECT_EQ(s->length(), 250);
    EXPECT_GE(L::formatBufferSize(), 300);
    EXPECT_EQ(L::formatBufferSize() % 100, 0);
}

TEST(LFormat, StringFormatAndNullFormat) {
    _Ref<_String> f = _S("%d-%s");
    EXPECT_STREQ(L::sprintf(f, 7, "z")->c_str(), "7-z");
    EXPECT_THROW(L::sprintf(_Ref<_String>(), 1), Throwable);
    EXPECT_EQ(L::sprintf("same").get(), _S("same").get());
}
