// A walk over the elements of a collection.
#pragma once

#include "foundation/lang/Object.h"

namespace torvik_util {

using torvik_lang::_Object;
using torvik_lang::_Ref;

class _Enumeration {
public:
    virtual bool hasMoreElements() = 0;
    virtual _Ref<_Object> nextElement() = 0;

protected:
    virtual ~_Enumeration() = default;
};

}  // namespace torvik_util
