// The one image source a benchmark's drawing window draws from.
#pragma once

#include "show/ImageSourceProvider.h"

namespace bench {

class FixedProvider : public IImageSourceProvider {
public:
    torvik_lang::_Ref<_IImageDatabase> source;
    torvik_lang::_Ref<_IImageDatabase> currentImageSource() override { return source; }
};

}  // namespace bench
