// A place in an ordered key list.
#pragma once

#include "foundation/lang/Object.h"

namespace util_ds {

using torvik_lang::_Object;
using torvik_lang::_Ref;

class _IPosition {
public:
    virtual _Ref<_Object> element() = 0;
    // Takes the key out of its list; nothing once it is out.
    virtual void remove() = 0;
    // Marks the key as just used: it moves to the end of its list, the side evicted last.
    virtual void touch() = 0;

protected:
    ~_IPosition() = default;
};

}  // namespace util_ds
