// Where a cache gets the values it lacks and returns the changed values it evicts.
// Implemented by _Object classes, since caches hold their provider by counted reference.
#pragma once

#include "foundation/lang/Object.h"

namespace util_ds {

using torvik_lang::_Object;
using torvik_lang::_Ref;

class _ICacheProvider {
public:
    // The value for `key`, or null when there is none.
    virtual _Ref<_Object> load(_Ref<_Object> key) = 0;
    virtual void store(_Ref<_Object> key, _Ref<_Object> value) = 0;

protected:
    ~_ICacheProvider() = default;
};

}  // namespace util_ds
