// Keys in eviction order: the first key is evicted first. Appending and touching put a
// key at the end, so the list runs from the least to the most recently used key.
#pragma once

#include "sources/CachePosition.h"

namespace util_ds {

class _OrderedKeyList : public _Object {
public:
    _OrderedKeyList() = default;
    ~_OrderedKeyList() override;
    _OrderedKeyList(const _OrderedKeyList&) = delete;
    _OrderedKeyList& operator=(const _OrderedKeyList&) = delete;

    virtual int size();
    virtual void append(const _Ref<_Object>& key);
    // Null when the list is empty.
    virtual _Ref<_IPosition> firstPosition();
    virtual _Ref<_IPosition> lastPosition();

private:
    friend class _CachePosition;

    void link(_CachePosition* p);
    void unlink(_CachePosition* p);
    void moveToEnd(_CachePosition* p);

    _Ref<_CachePosition> head;
    _CachePosition* tail = nullptr;
    int count = 0;
};

}  // namespace util_ds
