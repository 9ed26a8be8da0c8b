#include "sources/CachePosition.h"

#include "sources/OrderedKeyList.h"

namespace util_ds {

_Ref<_Object> _CachePosition::element() { return key; }

void _CachePosition::remove() {
    if (list) list->unlink(this);
}

void _CachePosition::touch() {
    if (list) list->moveToEnd(this);
}

}  // namespace util_ds
