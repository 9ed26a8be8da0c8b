// Quoted literals with backslash escapes, in both directions.
#include <gtest/gtest.h>

#include <string>

#include "foundation/lang/Throwable.h"
#include "foundation/support/ParserHelper.h"

using torvik_lang::_S;
using torvik_lang::Throwable;
using util::ParserHelper;

namespace {

std::string unquote(const std::string& literal) {
    return ParserHelper::transformStringLiteral(_S(literal.c_str()))->c_str();
}

std::string quote(const std::string& text) { return ParserHelper::createEsString(_S(text.c_str()))->c_str(); }

}  // namespace

TEST(ParserHelper, ResolvesEveryEscape) {
    struct Case {
        char const* literal;
        char const* text;
    } cases[] = {
        {"\"a\\x41\\12\"", "aA\n"},
        {"\"\\101\"", "\b1"},
        {"\"\\u0041\"", "A"},
        {"\"\\u12fE\"", "\xFE"},
        {"\"\\q\"", "q"},
        {"\"\\n\\b\\f\\r\\t\"", "\n\b\f\r\t"},
        {"\"\\\\\\\"\"", "\\\""},
        {"\"\\7x\"", "\x07x"},
        {"\"plain\"", "plain"},
        {"\"\"", ""},
        // The quotes are not checked, only dropped.
        {"xabcx", "abc"},
        // A backslash before the closing quote escapes it.
        {"\"ab\\\"", "ab\""},
        {"\"", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(unquote(c.literal), c.text) << c.literal;
}

TEST(ParserHelper, BadHexDigitsThrow) {
    char const* bad[] = {"\"\\x4g\"", "\"\\xG1\"", "\"\\x4\"", "\"\\x\"", "\"\\u004\"", "\"\\u00zz\"", "\"\\x", "\"\\u"};
    for (char const* literal : bad) {
        try {
            unquote(literal);
            ADD_FAILURE() << literal << ": no exception";
        } catch (Throwable& t) {
            EXPECT_STREQ(t.messageText(), "Illegal hex or unicode constant") << literal;
        }
    }
    EXPECT_THROW(ParserHelper::transformStringLiteral(nullptr), Throwable);
}

TEST(ParserHelper, EscapesAndRoundTrips) {
    EXPECT_EQ(quote("a\tb\"c"), "\"a\\tb\\\"c\"");
    EXPECT_EQ(quote("x\ny\r\\"), "\"x\\ny\\r\\\\\"");
    EXPECT_EQ(quote(""), "\"\"");
    char const* texts[] = {"a\tb\"c", "back\\slash", "lines\r\n", "\x01\x7F\xFF", "", "\"\""};
    for (char const* t : texts) EXPECT_EQ(unquote(quote(t)), t) << t;
    EXPECT_THROW(ParserHelper::createEsString(nullptr), Throwable);
}

TEST(ParserHelper, BuffersGrowForLongTexts) {
    std::string longText(5000, 'a');
    for (size_t i = 0; i < longText.size(); i += 7) longText[i] = '"';
    std::string quoted = quote(longText);
    EXPECT_GE(ParserHelper::escapeBufferSize(), static_cast<int>(quoted.size()) + 1);
    EXPECT_EQ(unquote(quoted), longText);
    EXPECT_GE(ParserHelper::literalBufferSize(), static_cast<int>(longText.size()) + 1);
}
