// The folder source: the picture files of the folder that the "Path" setting names,
// listed once, decoded one at a time as they are drawn.
#pragma once

#include "foundation/containers/Vector.h"
#include "foundation/io/File.h"
#include "foundation/lang/Array.h"
#include "sources/ImageDatabase.h"

class _CImageDatabase : public torvik_lang::_Object, public _IImageDatabase {
public:
    _CImageDatabase();
    ~_CImageDatabase() override;

    // Lists the folder of the "Path" setting anew: "*.jpg", "*.jpeg", "*.bmp", "*.gif",
    // each group in the folder's own order.
    virtual void loadFolder();
    // The same for the folder `dir`, whatever the setting says.
    virtual void loadFolder(const torvik_lang::_Ref<torvik_io::_File>& dir);
    // Appends the names in the folder that match `pattern`, all of kind `type`; names
    // beginning with "." are left out.
    virtual void addFiles(char const* pattern, img_lib::ImageType type);

    // Every listed name counts, the dropped ones too.
    int getImageCount() override;
    // Draws at most 101 times; a file that fails to decode is dropped for good.
    torvik_lang::_Ref<img_lib::_ImageInfo> getRandomImage() override;

    // The kind of picture a file name stands for, by the patterns loadFolder lists with;
    // false for any other name.
    static bool typeOfName(char const* name, img_lib::ImageType& type);

    // The picture folder; null until loadFolder runs.
    torvik_lang::_Ref<torvik_io::_File> folder;
    // The bare file names; a null element is a dropped entry.
    torvik_lang::_Ref<torvik_util::_Vector> names;
    // The kind of each element of `names`, at the same index.
    torvik_lang::_Ref<torvik_lang::_Array<img_lib::ImageType, torvik_lang::_Object>> types;
};
