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

TEST_F(Language, EnglishPicksFirstSection) {
    use(false);
    EXPECT_STREQ(L::getString(OPEN, "x.txt")->c_str(), "Can't open file 'x.txt'");
}

TEST_F(Language, GermanPicksGermanSection) {
    use(true);
    EXPECT_STREQ(L::getString(OPEN, "x.txt")->c_str(), "Kann Datei 'x.txt' nicht \xF6" "ffnen");
}

TEST_F(Language, GermanFallsBackToFirstSection) {
    use(true);
    EXPECT_STREQ(L::getString("{Only English %d}", 5)->c_str(), "Only English 5");
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

TEST_F(Language, PlainTextIsFormattedUnchanged) {
    EXPECT_STREQ(L::getString("a\\b %d", 1)->c_str(), "a\\b 1");
}

TEST_F(Language, BackslashEscapesInsideSection) {
    EXPECT_STREQ(L::getString("{a\\}b\\\\c}")->c_str(), "a}b\\c");
}

TEST_F(Language, TextWithoutSectionGivesNotFoundText) {
    EXPECT_STREQ(L::getString("{")->c_str(), "");
    // A text that starts with a brace but whose only brace is the first one still has
    // an (empty) section; a text whose marker section is missing falls back.
    EXPECT_STREQ(L::getString("{abc")->c_str(), "abc");
}

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
