// _DataFile: values, lines, positions and the texts of its failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "foundation/io/DataFile.h"
#include "foundation/io/IOException.h"
#include "foundation/lang/L.h"
#include "tests/kit/TempDir.h"

using namespace torvik_io;

namespace {

class DataFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }

    _Ref<_DataFile> open(const std::string& path, char const* mode) {
        _Ref<_DataFile> f = new _DataFile();
        f->open(new _File(path.c_str()), mode);
        return f;
    }
    _Ref<_DataFile> openBytes(const std::string& bytes) { return open(dir.write("data", bytes), "rb"); }

    TempDir dir;
};

std::string text(const _Ref<_String>& s) { return s ? s->c_str() : "<null>"; }

// The message of the IOException that `action` throws.
std::string failure(const std::function<void()>& action) {
    try {
        action();
    } catch (IOException& e) {
        return text(e.getMessage());
    }
    return "<no exception>";
}

}  // namespace

TEST_F(DataFile, ValuesAreLittleEndianAndReadBack) {
    std::string path = dir / "values";
    _Ref<_DataFile> out = open(path, "wb");
    out->writeShort(0x12345678);
    out->writeInt(0x01020304);
    out->writeLong(0x0102030405060708LL);
    out->print("%d");
    out->writeShort(-2);
    out->writeInt(-3);
    out->writeLong(-4);
    double d = -1.5e300;
    out->write(&d, 8);
    out->close();
    EXPECT_EQ(TempDir::read(path).substr(0, 16),
              std::string("\x78\x56\x04\x03\x02\x01\x08\x07\x06\x05\x04\x03\x02\x01%d", 16));

    _Ref<_DataFile> in = open(path, "rb");
    EXPECT_EQ(in->readShort(), 0x5678);
    EXPECT_EQ(in->readInt(), 0x01020304);
    EXPECT_EQ(in->readLong(), 0x0102030405060708LL);
    EXPECT_EQ(in->readByte(), '%');
    EXPECT_EQ(in->readByte(), 'd');
    EXPECT_EQ(in->readShort(), -2);
    EXPECT_EQ(in->readInt(), -3);
    EXPECT_EQ(in->readLong(), -4);
    EXPECT_EQ(in->readDouble(), -1.5e300);
    EXPECT_EQ(in->readByte(), 0xFF);  // nothing left
    EXPECT_EQ(in->readInt(), 0);
}

TEST_F(DataFile, ReadLineEndsAtNewlinesAndDropsCarriageReturns) {
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;  // up to and including a null
    } cases[] = {
        {"", {"<null>"}},
        {"a\r\nb", {"a", "b", "<null>", "<null>"}},  // carriage returns dropped; the end stays
        {"\n", {"", "<null>"}},
        {"\n\nx\n", {"", "", "x", "<null>"}},
        {"a\rb\r\n", {"ab", "<null>"}},
        {"\r", {"<null>"}},
        {std::string(1000, 'q') + "\nz", {std::string(1000, 'q'), "z", "<null>"}},
        {std::string(80, 'r'), {std::string(80, 'r'), "<null>"}},
        // A 0xFF byte is a character like any other, not the end of the file.
        {"x\xFFy\n\xFF\nz", {"x\xFFy", "\xFF", "z", "<null>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 20));
        _Ref<_DataFile> f = openBytes(c.bytes);
        for (const std::string& line : c.lines) EXPECT_EQ(text(f->readLine()), line);
    }
}

TEST_F(DataFile, OverlongLineIsRefused) {
    std::string path = dir / "long";
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::string chunk(1 << 20, 'x');
        for (int i = 0; i <= _DataFile::MAX_LINE >> 20; ++i) std::fwrite(chunk.data(), 1, chunk.size(), f);
        std::fclose(f);
    }
    _Ref<_DataFile> in = open(path, "rb");
    EXPECT_EQ(failure([&] { in->readLine(); }), "Line longer than 16777216 bytes");
}

TEST_F(DataFile, ReadAfterTheEndGivesMinusOne) {
    _Ref<_DataFile> f = openBytes("abc");
    char buffer[8] = {};
    EXPECT_EQ(f->read(buffer, 8), 3);
    EXPECT_EQ(f->read(buffer, 8), -1);
    EXPECT_EQ(f->read(buffer, 0, 1), -1);
    f->seek(1);  // positioning clears the end
    EXPECT_EQ(f->read(buffer, 2, 4), 2);
    EXPECT_EQ(std::string(buffer, 4), "abbc");
}

TEST_F(DataFile, NegativeOffsetOrLengthIsRefused) {
    _Ref<_DataFile> f = openBytes("abc");
    char buffer[4];
    EXPECT_EQ(failure([&] { f->read(buffer, -1, 2); }), "Can't read 2 bytes at offset -1");
    EXPECT_EQ(failure([&] { f->read(buffer, 0, -2); }), "Can't read -2 bytes at offset 0");
    EXPECT_EQ(failure([&] { f->read(buffer, -2); }), "Can't read -2 bytes");
    EXPECT_EQ(failure([&] { f->skipBytes(-10); }), "<null>");
    EXPECT_EQ(f->getFilePointer(), 0);
}

TEST_F(DataFile, PositionsAndSize) {
    _Ref<_DataFile> f = openBytes("0123456789");
    f->seek(3);
    EXPECT_EQ(f->getSize(), 10);
    EXPECT_EQ(f->getFilePointer(), 3);
    EXPECT_EQ(f->skipBytes(4), 4);
    EXPECT_EQ(f->readByte(), '7');
    EXPECT_EQ(failure([&] { f->seek(-1); }), "<null>");
    EXPECT_EQ(f->getFilePointer(), 8);
}

TEST_F(DataFile, PositionedReadsLeaveTheStreamWhereItWas) {
    std::string path = dir.write("at", "0123456789");
    _Ref<_DataFile> f = open(path, "rwb");
    char buffer[8] = {};
    EXPECT_EQ(f->readByte(), '0');
    EXPECT_EQ(f->readAt(buffer, 6, 8), 4);  // short at the end
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_EQ(f->readAt(buffer, 20, 2), 0);
    EXPECT_EQ(f->readByte(), '1');
    // Bytes written but still buffered are read back, and count in the size.
    f->seek(10);
    f->write(const_cast<char*>("AB"), 2);
    EXPECT_EQ(f->getSize(), 12);
    EXPECT_EQ(f->readAt(buffer, 9, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "9AB");
    EXPECT_EQ(failure([&] { f->readAt(buffer, -1, 2); }), "Can't read 2 bytes at offset -1");
}

TEST_F(DataFile, ReadWriteModeUpdatesInPlace) {
    std::string path = dir.write("rw", "abcdef");
    _Ref<_DataFile> f = open(path, "rwb");
    EXPECT_EQ(f->readByte(), 'a');
    f->write(const_cast<char*>("X"), 1);
    EXPECT_EQ(f->readByte(), 'c');
    f->seek(6);
    f->writeShort(0x4847);
    f->close();
    EXPECT_EQ(TempDir::read(path), "aXcdefGH");
    EXPECT_EQ(failure([&] { open(dir / "missing", "rwb"); }),
              "Can't open file '" + (dir / "missing") + "'");
}

TEST_F(DataFile, ClosedFileTexts) {
    _Ref<_DataFile> f = new _DataFile();
    char buffer[4];
    std::function<void()> actions[] = {
        [&] { f->read(buffer, 1); },      [&] { f->read(buffer, 0, 1); },
        [&] { f->write(buffer, 1); },     [&] { f->print("x"); },
        [&] { f->getFilePointer(); },     [&] { f->seek(0); },
        [&] { f->getSize(); },            [&] { f->readInt(); },
        [&] { f->readLine(); },           [&] { f->writeLong(1); },
        [&] { f->skipBytes(1); },
    };
    for (auto& action : actions) EXPECT_EQ(failure(action), "The file is not open");
    f->close();  // closing a closed file does nothing
    _Ref<_DataFile> g = openBytes("x");
    g->finalize();
    EXPECT_FALSE(g->isOpen());
    EXPECT_EQ(failure([&] { g->readByte(); }), "The file is not open");
}

TEST_F(DataFile, WriteFailureTexts) {
    _Ref<_DataFile> f = openBytes("abc");  // opened for reading only
    int v = 7;
    EXPECT_EQ(failure([&] { f->write(&v, 4); }), "Can't write 4 bytes");
    EXPECT_EQ(failure([&] { f->writeInt(1); }), "Can't write 4 bytes");
    EXPECT_EQ(failure([&] { f->print("100%d"); }), "Error writing string '100%d'");
    _Ref<_DataFile> g = open(dir / "out", "wb");
    EXPECT_EQ(failure([&] { g->write(&v, -1); }), "Can't write -1 bytes");
}

TEST_F(DataFile, OpenFailureTextsInBothLanguages) {
    std::string missing = dir / "no such file";
    EXPECT_EQ(failure([&] { open(missing, "rb"); }), "Can't open file '" + missing + "'");
    test_platform::useGerman(true);
    torvik_lang::notifyLocaleChanged();
    std::string german = failure([&] { open(missing, "rb"); });
    std::string closed = failure([] { _Ref<_DataFile>(new _DataFile())->readByte(); });
    test_platform::useGerman(false);
    torvik_lang::notifyLocaleChanged();
    EXPECT_EQ(german, "Kann Datei '" + missing + "' nicht \xF6" "ffnen");
    EXPECT_EQ(closed, "Die Datei ist nicht ge\xF6" "ffnet");
}

TEST_F(DataFile, ReopeningClosesTheFirstFile) {
    std::string first = dir / "first";
    _Ref<_DataFile> f = open(first, "wb");
    f->print("one");
    f->open(new _File(dir.write("second", "2").c_str()), "rb");  // flushes and closes "first"
    EXPECT_EQ(TempDir::read(first), "one");
    EXPECT_EQ(f->readByte(), '2');
    EXPECT_THROW(f->open(nullptr, "rb"), torvik_lang::Throwable);
}
