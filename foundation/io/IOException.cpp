#include "foundation/io/IOException.h"

namespace torvik_io {

IOException::IOException() = default;

IOException::IOException(const _Ref<_String>& msg) : Throwable(msg) {}

IOException::IOException(char const* msg) : Throwable(msg) {}

}  // namespace torvik_io
