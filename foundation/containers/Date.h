// A point in time, in milliseconds since 1970-01-01 00:00 UTC.
#pragma once

#include <cstdint>

#include "foundation/lang/String.h"

namespace torvik_util {

using torvik_lang::_Object;
using torvik_lang::_Ref;
using torvik_lang::_String;

class _Date : public _Object {
public:
    // Now.
    _Date();
    explicit _Date(int64_t time) : time(time) {}

    // The local time in the fixed asctime form, "Sun Sep 16 01:03:52 1973" and a line
    // feed. A time that the local calendar cannot express throws a Throwable.
    virtual _Ref<_String> toLocalString();

    int64_t time;
};

}  // namespace torvik_util
