// The image source interface: how many pictures a source offers, and one picture
// drawn at random, already decoded.
#pragma once

#include "imaging/ImageInfo.h"

class _IImageDatabase {
public:
    // A decoded picture, or a record without a picture whose name carries a message.
    // Never null.
    virtual torvik_lang::_Ref<img_lib::_ImageInfo> getRandomImage() = 0;
    virtual int getImageCount() = 0;

protected:
    virtual ~_IImageDatabase() = default;
};
