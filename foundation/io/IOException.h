// The failure of a file or stream operation.
#pragma once

#include "foundation/lang/Throwable.h"

namespace torvik_io {

using torvik_lang::_Ref;
using torvik_lang::_String;

class IOException : public torvik_lang::Throwable {
public:
    IOException();
    explicit IOException(const _Ref<_String>& msg);
    explicit IOException(char const* msg);
};

}  // namespace torvik_io
