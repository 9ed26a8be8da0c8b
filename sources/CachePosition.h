// One key of an ordered key list, and its place there.
#pragma once

#include "sources/IPosition.h"

namespace util_ds {

class _OrderedKeyList;

class _CachePosition : public _Object, public _IPosition {
public:
    explicit _CachePosition(const _Ref<_Object>& key) : key(key) {}

    _Ref<_Object> element() override;
    void remove() override;
    void touch() override;

    bool isInList() const { return list != nullptr; }

private:
    friend class _OrderedKeyList;

    _Ref<_Object> key;
    // The list owns its positions front to back; the way back and the list itself are
    // plain pointers, so that no cycle of counts keeps a list alive. The list clears them
    // when a position leaves it or the list goes.
    _Ref<_CachePosition> next;
    _CachePosition* previous = nullptr;
    _OrderedKeyList* list = nullptr;
};

}  // namespace util_ds
