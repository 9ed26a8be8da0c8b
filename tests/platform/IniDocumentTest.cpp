#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/linux/IniDocument.h"

using glimsel_linux::IniDocument;

namespace {

// A literal with its NUL bytes.
template <size_t N>
std::string bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::string valueOf(const IniDocument& doc, const char* section, const char* name) {
    const std::string* v = doc.find(section, name);
    return v ? *v : std::string("<absent>");
}

TEST(IniDocumentTest, ValuesBeforeTheFirstHeaderBelongToTheEmptySection) {
    IniDocument doc = IniDocument::parse("ActivePage=1\n[Config]\nSpeed=70\nPath=/pics\n");
    EXPECT_EQ(valueOf(doc, "", "ActivePage"), "1");
    EXPECT_EQ(valueOf(doc, "Config", "Speed"), "70");
    EXPECT_EQ(valueOf(doc, "Config", "Path"), "/pics");
    EXPECT_EQ(valueOf(doc, "Config", "ActivePage"), "<absent>");
    EXPECT_EQ(valueOf(doc, "", "Speed"), "<absent>");
}

TEST(IniDocumentTest, WritesTheEmptySectionBeforeEveryHeader) {
    IniDocument doc;
    doc.set("Config", "Speed", "50");
    doc.set("", "ActivePage", "1");
    doc.set("Config", "flashSleep", "-1");
    EXPECT_EQ(doc.serialize(), "ActivePage=1\n\n[Config]\nSpeed=50\nflashSleep=-1\n");
}

TEST(IniDocumentTest, NamesIgnoreLetterCase) {
    IniDocument doc = IniDocument::parse("[config]\nspeed=7\n");
    EXPECT_EQ(valueOf(doc, "Config", "Speed"), "7");
    doc.set("CONFIG", "SPEED", "8");
    EXPECT_EQ(doc.serialize(), "[config]\nspeed=8\n");
    EXPECT_TRUE(doc.erase("Config", "Speed"));
    EXPECT_FALSE(doc.erase("Config", "Speed"));
    EXPECT_EQ(doc.serialize(), "[config]\n");
}

TEST(IniDocumentTest, HandEditedLinesAreRead) {
    IniDocument doc = IniDocument::parse(
        "; a comment\r\n# another\r\n  [ Config ]  \r\n  Speed =  42  \r\n\r\nPath=C:\\pics\\x\r\n");
    EXPECT_EQ(valueOf(doc, "Config", "Speed"), "42");
    EXPECT_EQ(valueOf(doc, "Config", "Path"), "C:\\pics\\x");
}

TEST(IniDocumentTest, EscapedValuesSurviveTheRoundTrip) {
    const std::string values[] = {
        "",
        "plain",
        "/home/u/My Pictures",
        " leading and trailing ",
        "line\nbreak\r\tand tab",
        "back\\slash\\xZZ\\x41",
        "[Config]\nPath=/evil",
        "\xc3\xa4\xc3\xb6 UTF-8",
        "\x7f\x01",
    };
    IniDocument doc;
    for (size_t i = 0; i < sizeof values / sizeof values[0]; ++i) doc.set("S", "v" + std::to_string(i), values[i]);
    std::string text = doc.serialize();
    // Every value stays on its own line: one header and one line per value.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10);
    IniDocument back = IniDocument::parse(text);
    for (size_t i = 0; i < sizeof values / sizeof values[0]; ++i) {
        EXPECT_EQ(valueOf(back, "S", ("v" + std::to_string(i)).c_str()), values[i]) << i;
    }
}

TEST(IniDocumentTest, DamagedLinesMeanNothing) {
    struct Case {
        const char* what;
        std::string text;
        std::string speed;  // what Config/Speed reads as
    };
    const Case cases[] = {
        {"no equals sign", "[Config]\nSpeed\nSpeed=1\n", "1"},
        {"header without bracket", "[Config\nSpeed=2\n", "<absent>"},
        {"empty header", "[]\nSpeed=3\n", "<absent>"},
        {"values after a damaged header", "[Config]\n[Oops\nSpeed=4\n", "<absent>"},
        {"NUL byte in the line", bytes("[Config]\nSpeed=5\0x\nSpeed=6\n"), "6"},
        {"overlong line", "[Config]\nSpeed=" + std::string(IniDocument::MAX_LINE, '7') + "\nSpeed=8\n", "8"},
        {"duplicate names: the first wins", "[Config]\nSpeed=9\nSPEED=10\n", "9"},
        {"repeated section merges", "[Config]\nPath=x\n[Other]\nA=1\n[Config]\nSpeed=11\n", "11"},
        {"no final newline", "[Config]\nSpeed=12", "12"},
        {"name with blanks only", "[Config]\n  =13\nSpeed=14\n", "14"},
        {"binary garbage", bytes("\xff\xfe\x00\x01[\x80]\n=\n\n"), "<absent>"},
    };
    for (const Case& c : cases) {
        IniDocument doc = IniDocument::parse(c.text);
        EXPECT_EQ(valueOf(doc, "Config", "Speed"), c.speed) << c.what;
    }
}

TEST(IniDocumentTest, WritesBackEveryLineItDidNotChange) {
    const std::string text = bytes(
        "; made by hand\r\n  Speed =  42  \n\n[Config]\nPath=C:\\pics\nPath=second\n\x00junk\n"
        "[Broken\nSpeed=1\n") + std::string(IniDocument::MAX_LINE + 1, 'x') + "\n";
    IniDocument doc = IniDocument::parse(text);
    EXPECT_EQ(doc.serialize(), bytes("; made by hand\r\n  Speed =  42  \n\n[Config]\nPath=C:\\pics\nPath=second\n\x00junk\n"
                                     "[Broken\nSpeed=1\n") + std::string(IniDocument::MAX_LINE + 1, 'x') + "\n");
    doc.set("Config", "Path", "/new");
    doc.set("", "ActivePage", "1");
    doc.set("Other", "A", "2");
    EXPECT_EQ(doc.serialize(), bytes("; made by hand\r\n  Speed =  42  \nActivePage=1\n\n[Config]\nPath=/new\nPath=second\n"
                                     "\x00junk\n[Broken\nSpeed=1\n") + std::string(IniDocument::MAX_LINE + 1, 'x') +
                                     "\n\n[Other]\nA=2\n");
    // Erasing takes every value of the name, so that no later one comes to light.
    EXPECT_TRUE(doc.erase("Config", "Path"));
    EXPECT_EQ(valueOf(IniDocument::parse(doc.serialize()), "Config", "Path"), "<absent>");
}

TEST(IniDocumentTest, RejectsNamesTheFileCannotHold) {
    for (const char* bad : {"", "a=b", "[x]", " lead", "trail ", "new\nline", ";comment", "#hash"}) {
        EXPECT_FALSE(IniDocument::validValueName(bad)) << bad;
    }
    EXPECT_TRUE(IniDocument::validValueName("flashSleep"));
    EXPECT_TRUE(IniDocument::validSectionName(""));
    EXPECT_TRUE(IniDocument::validSectionName("Config"));
    EXPECT_FALSE(IniDocument::validSectionName("Con]fig"));
}

}  // namespace
