// _ArrayFile: both byte orders, the header checks, writing and reading records, and the
// checks that keep every read inside the index, the buffer and the file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>

#include "foundation/io/IOException.h"
#include "sources/ArrayFile.h"
#include "tests/sources/SourceTestKit.h"

using namespace sourcetest;
using torvik_io::_File;
using torvik_io::IOException;
using torvik_lang::_Array;
using torvik_lang::_Object;
using torvik_lang::_Ref;
using torvik_lang::Throwable;
using util_ds::_ArrayFile;

namespace {

using Buffer = _Array<char, _Object>;

class ArrayFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }

    _Ref<_File> file(const std::string& name) { return new _File((dir / name).c_str()); }

    _Ref<_ArrayFile> openFile(const std::string& name, bool writable = false) {
        _Ref<_ArrayFile> a = new _ArrayFile();
        a->open(file(name), writable);
        return a;
    }
    _Ref<_ArrayFile> openBytes(const std::string& bytes) {
        dir.write("a.dat", bytes);
        return openFile("a.dat");
    }

    static std::string read(const _Ref<_ArrayFile>& a, int index) {
        _Ref<Buffer> buffer = new Buffer(a->getRecordSize(index));
        a->readRecord(buffer, index, 0);
        return std::string(buffer->data, static_cast<size_t>(buffer->length));
    }

    TempDir dir;
};

// What `action` raises: "IOException: text", "Throwable: text" or "none".
std::string failure(const std::function<void()>& action) {
    try {
        action();
    } catch (IOException& e) {
        return std::string("IOException: ") + e.messageText();
    } catch (Throwable& e) {
        return std::string("Throwable: ") + e.messageText();
    }
    return "none";
}

TEST_F(ArrayFile, ReadsBothByteOrders) {
    // One record "abc" right behind an index of one entry.
    struct Case {
        const char* name;
        std::string version;
        bool bigEndian;
        int first;
    } cases[] = {
        {"version 1", std::string("\x00\x01", 2), true, 1},
        {"version 0", std::string("\x00\x00", 2), true, 1},
        {"negative version", "\xFF\xFF", true, 1},
        {"version 2", std::string("\x00\x02", 2), false, 0x01000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto num = [&](unsigned long long v, int n) { return c.bigEndian ? be(v, n) : le(v, n); };
        // The first index is always stored as the bytes 00 00 00 01.
        ASSERT_EQ(c.version.size(), 2u);
        std::string bytes = "\x34\x34" + c.version + std::string("\0\0\0\1", 4) + num(1, 4) +
                            num(24, 8) + num(3, 4) + "abc";
        _Ref<_ArrayFile> a = openBytes(bytes);
        EXPECT_EQ(a->getFirstIndex(), c.first);
        EXPECT_EQ(a->getCount(), 1);
        EXPECT_EQ(a->getRecordSize(c.first), 3);
        EXPECT_EQ(read(a, c.first), "abc");
    }
}

TEST_F(ArrayFile, RefusesHeadersAndIndexesItCannotRead) {
    const std::string v2 = std::string("\x34\x34\x00\x02", 4);
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"other magic", "\x34\x35" + std::string("\x00\x02", 2) + le(0, 4) + le(0, 4), "IOException: No array file"},
        {"empty file", "", "IOException: No array file"},
        {"version 3", std::string("\x34\x34\x00\x03", 4) + le(0, 4) + le(0, 4),
         "IOException: Version of Array file is to large"},
        {"version 0x0100", std::string("\x34\x34\x01\x00", 4) + le(0, 4) + le(0, 4),
         "IOException: Version of Array file is to large"},
        {"header cut short", v2 + le(0, 4), "IOException: Array file too short for its index of 0 records"},
        {"negative count", v2 + le(0, 4) + le(0xFFFFFFFF, 4), "IOException: Array file with -1 records"},
        {"index beyond the file", v2 + le(0, 4) + le(2, 4) + le(24, 8) + le(0, 4),
         "IOException: Array file too short for its index of 2 records"},
        {"huge count", v2 + le(0, 4) + le(0x7FFFFFFF, 4),
         "IOException: Array file too short for its index of 2147483647 records"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(failure([&] { openBytes(c.bytes); }), c.expected);
    }
    _Ref<_ArrayFile> a = new _ArrayFile();
    EXPECT_EQ(failure([&] { a->open(file("missing"), false); }), "IOException: ");
    EXPECT_EQ(failure([&] { a->open(nullptr, false); }), "Throwable: ");
}

TEST_F(ArrayFile, AFailedOpenForgetsTheEarlierFile) {
    writeArrayFile(dir / "good.dat", {"one", "two"});
    dir.write("bad.dat", "\x34\x35 not an array file");
    _Ref<_ArrayFile> a = openFile("good.dat");
    EXPECT_EQ(a->getCount(), 2);
    EXPECT_NE(failure([&] { a->open(file("bad.dat"), false); }), "none");
    EXPECT_EQ(a->getCount(), 0);
    EXPECT_NE(failure([&] { a->getRecordSize(0); }), "none");
}

TEST_F(ArrayFile, CreateWritesTheHeaderThenRecordsOneAfterAnother) {
    _Ref<_ArrayFile> a = new _ArrayFile();
    a->create(file("r.dat"), 3, 10);
    std::string r[] = {"12345", "abcdefg", "ABCDEFGHI"};
    // Written out of order: the bytes lie in the order of writing, behind the index.
    a->writeRecord(12, &r[0][0], 5);
    a->writeRecord(10, &r[1][0], 7);
    a->writeRecord(11, &r[2][0], 9);
    EXPECT_EQ(failure([&] { a->writeRecord(13, &r[0][0], 5); }), "Throwable: ");
    EXPECT_EQ(failure([&] { a->writeRecord(9, &r[0][0], 5); }), "Throwable: ");
    a->close();

    _Ref<_ArrayFile> b = openFile("r.dat");
    EXPECT_EQ(b->getFirstIndex(), 10);
    EXPECT_EQ(b->getCount(), 3);
    const int64_t offsets[] = {53, 60, 48};
    const int sizes[] = {7, 9, 5};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(b->offsets->data[i], offsets[i]);
        EXPECT_EQ(b->sizes->data[i], sizes[i]);
        EXPECT_EQ(b->getRecordSize(10 + i), sizes[i]);
    }
    EXPECT_EQ(read(b, 10), "abcdefg");
    EXPECT_EQ(read(b, 11), "ABCDEFGHI");
    EXPECT_EQ(read(b, 12), "12345");
    const std::string bytes = TempDir::read(dir / "r.dat");
    EXPECT_EQ(bytes.size(), 69u);
    EXPECT_EQ(bytes.substr(0, 12), std::string("\x34\x34\x00\x02", 4) + le(10, 4) + le(3, 4));

    // At position 4 of a buffer: the first four bytes stay as they were.
    _Ref<Buffer> buffer = new Buffer(4 + 7);
    std::memcpy(buffer->data, "....", 4);
    b->readRecord(buffer, 10, 4);
    EXPECT_EQ(std::string(buffer->data, 11), "....abcdefg");
}

TEST_F(ArrayFile, IndexesOfAnySizeReadBackWhole) {
    // Small indexes arrive with the header in one read, larger ones in a second read.
    for (int count : {1, 5460, 5461, 20000}) {
        SCOPED_TRACE(count);
        _Ref<_ArrayFile> a = new _ArrayFile();
        a->create(file("n.dat"), count, 0);
        for (int i = 0; i < count; ++i) {
            std::string bytes = std::to_string(i);
            a->writeRecord(i, &bytes[0], static_cast<int>(bytes.size()));
        }
        a->close();
        a->open(file("n.dat"), false);
        ASSERT_EQ(a->getCount(), count);
        for (int i : {0, count / 2, 5459, 5460, count - 1}) {
            if (i < count) {
                EXPECT_EQ(read(a, i), std::to_string(i));
            }
        }
    }
}

TEST_F(ArrayFile, ReadsStayInsideTheIndexAndTheBuffer) {
    writeArrayFile(dir / "r.dat", {"abc", "defgh"}, 5);
    _Ref<_ArrayFile> a = openFile("r.dat");
    _Ref<Buffer> big = new Buffer(100);
    for (int index : {4, 7, -1, 0x7FFFFFFF, int(0x80000000)}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(failure([&] { a->getRecordSize(index); }),
                  "Throwable: Record " + std::to_string(index) + " is not in the array file");
        EXPECT_NE(failure([&] { a->readRecord(big, index, 0); }), "none");
    }
    _Ref<Buffer> small = new Buffer(6);
    EXPECT_EQ(failure([&] { a->readRecord(small, 6, 2); }), "Throwable: Buffer too small for record 6");
    EXPECT_EQ(failure([&] { a->readRecord(small, 6, -1); }), "Throwable: Buffer too small for record 6");
    EXPECT_EQ(failure([&] { a->readRecord(small, 6, 1); }), "none");
    EXPECT_EQ(failure([&] { a->readRecord(nullptr, 5, 0); }), "Throwable: ");
}

TEST_F(ArrayFile, RecordsOutsideTheFileFailInsteadOfReadingGarbage) {
    // One index entry pointing at the 3 bytes behind it, altered per case.
    struct Case {
        const char* name;
        unsigned long long offset;
        unsigned size;
        bool fails;
    } cases[] = {
        {"exactly the file", 24, 3, false},
        {"empty record at the end", 27, 0, false},
        {"one byte too many", 24, 4, true},
        {"offset past the end", 28, 0, true},
        {"negative size", 24, 0xFFFFFFFF, true},
        {"negative offset", 0xFFFFFFFFFFFFFFF0ull, 3, true},
        {"offset beyond 4 GiB", 0x100000018ull, 3, true},
        {"huge size", 24, 0x7FFFFFFF, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        _Ref<_ArrayFile> a = openBytes(std::string("\x34\x34\x00\x02", 4) + le(0, 4) + le(1, 4) + le(c.offset, 8) +
                                       le(c.size, 4) + "xyz");
        _Ref<Buffer> buffer = new Buffer(16);
        if (c.fails) {
            EXPECT_EQ(failure([&] { a->getRecordSize(0); }), "IOException: Record 0 lies outside the array file");
            EXPECT_EQ(failure([&] { a->readRecord(buffer, 0, 0); }), "IOException: Record 0 lies outside the array file");
        } else {
            EXPECT_EQ(failure([&] { a->readRecord(buffer, 0, 0); }), "none");
        }
    }
}

TEST_F(ArrayFile, AFileCutShortAfterOpeningFailsToRead) {
    // Larger than what the stream may have buffered while reading the index.
    const std::string path = writeArrayFile(dir / "r.dat", {std::string(100000, 'r')});
    _Ref<_ArrayFile> a = openFile("r.dat");
    ASSERT_EQ(truncate(path.c_str(), 50000), 0);
    _Ref<Buffer> buffer = new Buffer(100000);
    EXPECT_EQ(failure([&] { a->readRecord(buffer, 0, 0); }), "IOException: Can't read record 0");
}

TEST_F(ArrayFile, OpenedForWritingAppendsBehindTheExistingRecords) {
    writeArrayFile(dir / "w.dat", {"first", "second"});
    _Ref<_ArrayFile> a = openFile("w.dat", true);
    std::string replacement = "1st";
    a->writeRecord(0, &replacement[0], 3);
    EXPECT_EQ(read(a, 0), "1st");
    EXPECT_EQ(read(a, 1), "second");
    a->close();

    _Ref<_ArrayFile> b = openFile("w.dat");
    EXPECT_EQ(read(b, 0), "1st");
    EXPECT_EQ(read(b, 1), "second");
    EXPECT_EQ(b->offsets->data[0], 12 + 24 + 11);
}

TEST_F(ArrayFile, TheIndexOutlivesClose) {
    writeArrayFile(dir / "c.dat", {"abc"}, 3);
    _Ref<_ArrayFile> a = openFile("c.dat");
    a->close();
    a->close();
    a->finalize();
    EXPECT_EQ(a->getCount(), 1);
    EXPECT_EQ(a->getFirstIndex(), 3);
    EXPECT_EQ(a->getRecordSize(3), 3);
    _Ref<Buffer> buffer = new Buffer(3);
    EXPECT_EQ(failure([&] { a->readRecord(buffer, 3, 0); }), "Throwable: ");
}

}  // namespace
