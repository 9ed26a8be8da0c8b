// The indexed record file: a fixed number of variable-length byte records, numbered
// from a first index, with a table of their positions and sizes at the front.
//
// Layout: magic 0x34 0x34, a big-endian 16-bit version, then the first index and the
// record count (32-bit), then per record its offset (64-bit) and size (32-bit), then the
// records' bytes. Version 2 stores the numbers after the version little-endian; version
// 1 or lower stores them big-endian. Files can be at most 2 GiB long.
#pragma once

#include <cstdint>

#include "foundation/io/DataFile.h"
#include "foundation/io/File.h"
#include "foundation/lang/Array.h"

namespace util_ds {

using torvik_lang::_Array;
using torvik_lang::_Object;
using torvik_lang::_Ref;

class _ArrayFile : public _Object {
public:
    // Header and one index entry, in bytes.
    static constexpr int HEADER_SIZE = 12;
    static constexpr int ENTRY_SIZE = 12;

    _ArrayFile();
    ~_ArrayFile() override;

    // Closes the file; a failure to close goes no further.
    void finalize() override;

    // New, uncleared index arrays of recordCount elements.
    virtual void allocateIndex();
    // Reads the header and the whole index; the records stay on disk. Opened `writable`,
    // new records are appended at the end of the file.
    virtual void open(_Ref<torvik_io::_File> f, bool writable);
    // A new, empty version-2 file with `count` records numbered from `first`; each record
    // must then be written once.
    virtual void create(_Ref<torvik_io::_File> f, int count, int first);
    // Appends `length` bytes at `data` and points record `index` at them.
    virtual void writeRecord(int index, void* data, int length);
    virtual int getFirstIndex();
    virtual int getCount();
    // The size of record `index`; an index outside the records, or a record that lies
    // partly outside the file, raises.
    virtual int getRecordSize(int index);
    // Reads record `index` into `buffer` from position `offset` on; the buffer's length
    // must hold offset + the record's size.
    virtual void readRecord(_Ref<_Array<char, _Object>> buffer, int index, int offset);
    // The index stays readable after closing.
    virtual void close();

    _Ref<torvik_io::_DataFile> file;
    int firstIndex = 0;
    int recordCount = 0;
    int64_t appendPosition = 0;
    _Ref<_Array<int64_t, _Object>> offsets;
    _Ref<_Array<int, _Object>> sizes;
    // The file's length as far as the records are concerned: what open found, grown by
    // every record written since.
    int64_t fileLength = 0;

private:
    // The position of record `index` in the index arrays; raises for any other index.
    int entryOf(int index);
    // Raises an IOException when the record's bytes do not lie inside the file.
    void checkExtent(int entry);
    void decodeIndex(const unsigned char* bytes, bool bigEndian);
};

}  // namespace util_ds
