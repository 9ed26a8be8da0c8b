// A hashtable that stores null values explicitly, so that a key held with a null
// value can be told from a missing key.
#pragma once

#include "foundation/containers/Hashtable.h"

namespace util {

using torvik_lang::_Object;
using torvik_lang::_Ref;

class _Hashtable2 : public torvik_util::_Hashtable {
public:
    _Hashtable2() = default;
    _Hashtable2(int initialCapacity, float loadFactor) : _Hashtable(initialCapacity, loadFactor) {}

    // Stands in for a null value inside the table.
    static _Ref<_Object> nullObj;

    _Ref<_Object> put(_Ref<_Object> key, _Ref<_Object> value) override;
    _Ref<_Object> get(_Ref<_Object> key) override;
};

}  // namespace util
