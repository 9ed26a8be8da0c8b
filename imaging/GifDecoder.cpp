#include "imaging/ImageInfo.h"

namespace img_lib {

_Ref<_ImageInfo> loadGifFile(char const*) { throw ImageException("No GIF file"); }
_Ref<_ImageInfo> loadGif(void const*, int, char const*) { throw ImageException("No GIF file"); }

}  // namespace img_lib
