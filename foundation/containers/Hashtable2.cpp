#include "foundation/containers/Hashtable2.h"

namespace util {

_Ref<_Object> _Hashtable2::put(_Ref<_Object> key, _Ref<_Object> value) {
    return _Hashtable::put(key, value ? value : nullObj);
}

_Ref<_Object> _Hashtable2::get(_Ref<_Object> key) {
    _Ref<_Object> value = _Hashtable::get(key);
    return value == nullObj ? nullptr : value;
}

}  // namespace util
