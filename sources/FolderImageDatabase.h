// The folder source: the picture files of the folder that the "Path" setting names,
// listed once, decoded one at a time as they are drawn.
#pragma once

#include "foundation/containers/Vector.h"
#include "foundation/io/File.h"
#include "foundation/lang/Array.h"
#include "sources/ImageDatabase.h"

#include <memory>

#include "sources/FolderWalk.h"
#include "sources/ShuffledRound.h"

class _CImageDatabase : public torvik_lang::_Object, public _IImageDatabase {
public:
    _CImageDatabase();
    ~_CImageDatabase() override;

    // Lists the folder of the "Path" setting anew: "*.jpg", "*.jpeg", "*.bmp", "*.gif",
    // each group in the folder's own order. The choices below are taken from the
    // "Config" values "Upright", "Subfolders", "NoRepeats" and "MoreTypes" first.
    virtual void loadFolder();
    // The same for the folder `dir`, whatever the setting says, with the choices as set.
    virtual void loadFolder(const torvik_lang::_Ref<torvik_io::_File>& dir);
    // Lists every subfolder that is still to come; only the subfolder choice leaves any.
    void finishListing();
    // Appends the names in the folder that match `pattern`, all of kind `type`; names
    // beginning with "." are left out.
    virtual void addFiles(char const* pattern, img_lib::ImageType type);

    // Appends the matching names in the subfolder `relative` ("" for the folder itself),
    // each with that path before it, in the order of the patterns.
    void addFolder(const std::string& relative);

    // Every listed name counts, the dropped ones too; subfolders still to come do not.
    int getImageCount() override;
    // Draws at most 101 times; a file that fails to decode is dropped for good.
    torvik_lang::_Ref<img_lib::_ImageInfo> getRandomImage() override;

    // The kind of picture a file name stands for, by the patterns loadFolder lists with;
    // false for any other name.
    static bool typeOfName(char const* name, img_lib::ImageType& type, bool withMoreTypes = false);

    // The choices, all off by default: JPEG photos turned as their orientation tag
    // says; subfolders listed too, a few at a time as pictures are drawn; every picture
    // once before any twice; PNG files listed after the other kinds.
    bool upright = false;
    bool subfolders = false;
    bool noRepeats = false;
    bool moreTypes = false;

    // The picture folder; null until loadFolder runs.
    torvik_lang::_Ref<torvik_io::_File> folder;
    // The bare file names; a null element is a dropped entry.
    torvik_lang::_Ref<torvik_util::_Vector> names;
    // The kind of each element of `names`, at the same index.
    torvik_lang::_Ref<torvik_lang::_Array<img_lib::ImageType, torvik_lang::_Object>> types;

private:
    // Lists further subfolders for a bounded time, longer while nothing is listed yet.
    void continueListing();

    std::unique_ptr<FolderWalk> walk;
    ShuffledRound round;
};
