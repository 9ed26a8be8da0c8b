// The logger chain: what each logger writes, and to whom it hands the text on.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "foundation/lang/Throwable.h"
#include "foundation/support/App.h"
#include "foundation/support/ConsoleLogger.h"
#include "foundation/support/DebugReportLogger.h"
#include "platform/os.h"
#include "tests/kit/TempDir.h"

using namespace util;
using torvik_lang::_S;

namespace {

// A stream that the test reads back.
class Capture {
public:
    Capture() : stream(std::tmpfile()) {}
    ~Capture() {
        if (stream) std::fclose(stream);
    }
    std::string contents() {
        std::fflush(stream);
        std::rewind(stream);
        std::string out;
        char buffer[512];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0) out.append(buffer, n);
        std::fseek(stream, 0, SEEK_END);
        return out;
    }
    FILE* stream;
};

// Notes what the first stream of a chain held when the text arrived here.
class Witness : public _BaseLogger {
public:
    explicit Witness(Capture& first) : _BaseLogger(nullptr, nullptr), first(first) {}
    void addString(const _Ref<_String>& text) override {
        seen += text->c_str();
        firstHeld = first.contents();
    }
    Capture& first;
    std::string seen;
    std::string firstHeld;
};

}  // namespace

TEST(Logger, AddLinePutsTheNewlineFirst) {
    struct Case {
        _Ref<_String> text;
        std::string written;
    } cases[] = {
        {_S("abc"), "\nabc"},
        {_S("\nabc"), "\nabc"},
        {_S(""), "\n"},
        {_S("a\n"), "\na\n"},
        {nullptr, ""},
        {_S("100%d done %s"), "\n100%d done %s"},
        {_S(std::string(200, 'x').c_str()), "\n" + std::string(200, 'x')},
    };
    for (const Case& c : cases) {
        Capture out;
        _Ref<_ILogger> log = new _BaseLogger(out.stream, nullptr);
        log->addLine(c.text);
        EXPECT_EQ(out.contents(), c.written);
    }
}

TEST(Logger, BufferGrowsAndShrinkingTextsStayWhole) {
    Capture out;
    _Ref<_ILogger> log = new _BaseLogger(out.stream, nullptr);
    std::string longText(300, 'y');
    log->addLine(_S(longText.c_str()));
    log->logLine(_S("short"));
    EXPECT_EQ(out.contents(), "\n" + longText + "\nshort");
}

TEST(Logger, StringsAreWrittenAsTheyAre) {
    Capture out;
    _Ref<_ILogger> log = new _BaseLogger(out.stream, nullptr);
    log->addString(_S("50%d"));
    log->write(_S(" %s%n"));
    log->addDot();
    log->addDot();
    log->flush();
    EXPECT_EQ(out.contents(), "50%d %s%n..");
    EXPECT_THROW(log->addString(nullptr), torvik_lang::Throwable);
    EXPECT_THROW(log->write(nullptr), torvik_lang::Throwable);
}

TEST(Logger, NextGetsTheTextAfterThisLoggerWroteIt) {
    Capture first;
    _Ref<Witness> witness = new Witness(first);
    _Ref<_ILogger> log = new _BaseLogger(first.stream, witness);
    log->addLine(_S("abc"));
    EXPECT_EQ(first.contents(), "\nabc");
    EXPECT_EQ(witness->seen, "\nabc");
    EXPECT_EQ(witness->firstHeld, "\nabc");
}

TEST(Logger, ConsoleLoggerHandsTheTextOn) {
    Capture console;
    Capture second;
    _Ref<_ILogger> log = new _ConsoleLogger(console.stream, new _BaseLogger(second.stream, nullptr));
    log->addLine(_S("caf\xE9 50%d"));
    // The console gets the text in its own code page.
    std::string oem = "\ncaf\xE9 50%d";
    glimsel_os::toOem(&oem[0], oem.size());
    EXPECT_EQ(console.contents(), oem);
    EXPECT_EQ(second.contents(), "\ncaf\xE9 50%d");
    EXPECT_THROW(log->addString(nullptr), torvik_lang::Throwable);
}

TEST(Logger, DebugReportLoggerOnlyHandsOn) {
    Capture second;
    _Ref<_ILogger> log = new _DebugReportLogger(new _BaseLogger(second.stream, nullptr));
    log->addLine(_S("x"));
    EXPECT_EQ(second.contents(), "\nx");
    _Ref<_ILogger> alone = new _DebugReportLogger(nullptr);
    alone->addLine(_S("nowhere"));
    alone->close();
}

TEST(Logger, CloseLeavesStandardStreamsOpen) {
    for (FILE* standard : {static_cast<FILE*>(nullptr), stdout, stderr}) {
        _Ref<_ILogger> log = new _BaseLogger(standard, nullptr);
        log->close();
    }
    _Ref<_ILogger> console = new _ConsoleLogger(false);
    console->close();
    EXPECT_GE(fileno(stdout), 0);
    EXPECT_GE(fileno(stderr), 0);
    EXPECT_EQ(std::fflush(stdout), 0);
}

TEST(Logger, CloseEndsAFileStreamOnce) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    std::string path = dir / "log";
    Capture next;
    _Ref<_ILogger> log = new _BaseLogger(std::fopen(path.c_str(), "w"), new _BaseLogger(next.stream, nullptr));
    log->addString(_S("a"));
    log->close();
    log->addString(_S("b"));  // the closed stream is not touched; the chain still hears it
    log->close();
    EXPECT_EQ(TempDir::read(path), "a");
    EXPECT_EQ(next.contents(), "ab");
}

TEST(Logger, ApplicationLogIsMadeAtStartUp) {
    ASSERT_FALSE(App::log.isNull());
    EXPECT_NE(dynamic_cast<_ConsoleLogger*>(App::log.get()), nullptr);
    EXPECT_TRUE(App::title == torvik_lang::_String::emptyString);
}
