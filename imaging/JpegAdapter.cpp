#include "imaging/ImageInfo.h"

namespace img_lib {

_Ref<_ImageInfo> loadJpegFile(char const*) { throw ImageException("JPEG format error"); }
_Ref<_ImageInfo> loadJpeg(void const*, int, const _Ref<_String>&) { throw ImageException("JPEG format error"); }

}  // namespace img_lib
