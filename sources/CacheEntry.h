// One cached value under its key.
#pragma once

#include "foundation/lang/Object.h"

namespace util_ds {

using torvik_lang::_Object;
using torvik_lang::_Ref;

class _CacheEntry : public _Object {
public:
    _Ref<_Object> key;
    _Ref<_Object> value;
    // Set when the value was looked up for changing; the provider takes a dirty value
    // back when it is evicted.
    bool dirty = false;
};

}  // namespace util_ds
