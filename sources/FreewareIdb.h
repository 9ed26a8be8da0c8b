// The database source: pictures from the image database file "Glimsel.idb" that lies
// beside the program. Record 0 is reserved; every other record holds one picture file,
// its kind in the first byte and the file's bytes from byte 4 on.
#pragma once

#include "foundation/io/File.h"
#include "foundation/lang/Array.h"
#include "sources/ArrayFile.h"
#include "sources/ImageDatabase.h"

class _FreewareIdb : public torvik_lang::_Object, public _IImageDatabase {
public:
    // The database file's name in the program's folder.
    static constexpr char const* FILE_NAME = "Glimsel.idb";

    _FreewareIdb();
    ~_FreewareIdb() override;

    // Opens the database beside the program, read-only; false when there is none or it
    // cannot be read as an array file.
    virtual bool openDatabase();
    // The same for the database file `f`.
    virtual bool openDatabase(const torvik_lang::_Ref<torvik_io::_File>& f);

    // The number of picture records; 0 for a database without any.
    int getImageCount() override;
    // A picture decoded from the record buffer: valid until the next call on this source.
    torvik_lang::_Ref<img_lib::_ImageInfo> getRandomImage() override;

    torvik_lang::_Ref<util_ds::_ArrayFile> arrayFile;
    // One record at a time is read here; it grows to the largest record drawn.
    torvik_lang::_Ref<torvik_lang::_Array<char, torvik_lang::_Object>> recordBuffer;
};

// The image database in the folder of the running program (never the working
// directory), or null when there is none.
torvik_lang::_Ref<torvik_io::_File> findDatabaseFile();
// The image database in the folder of the program file `program`, or null.
torvik_lang::_Ref<torvik_io::_File> findDatabaseFile(const torvik_lang::_Ref<torvik_io::_File>& program);
