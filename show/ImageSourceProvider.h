// Where a drawing window gets its pictures: the application's current image source.
#pragma once

#include "sources/ImageDatabase.h"

class IImageSourceProvider {
public:
    // A copy of the reference to the current source; null only before start-up.
    virtual torvik_lang::_Ref<_IImageDatabase> currentImageSource() = 0;

protected:
    virtual ~IImageSourceProvider() = default;
};
