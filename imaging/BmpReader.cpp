#include "imaging/ImageInfo.h"

namespace img_lib {

_Ref<_ImageInfo> loadBmpFile(char const*) { throw ImageException("Can't open BMP File"); }
_Ref<_ImageInfo> loadBmp(void const*, int, const _Ref<_String>&) { throw ImageException("Corrupt bmp header"); }

}  // namespace img_lib
