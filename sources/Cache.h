// A bounded cache from key objects to value objects.
//
// A value that is not in the cache is loaded from the provider; when the cache is full
// the least recently used entry is evicted, and an evicted value that was looked up for
// changing is handed back to the provider first.
#pragma once

#include "foundation/containers/Hashtable.h"
#include "sources/CacheEntry.h"
#include "sources/ICacheProvider.h"
#include "sources/OrderedKeyList.h"

namespace util_ds {

class _Cache : public _Object {
public:
    // `maxSize` must be at least 1. A null provider fails at the first miss.
    _Cache(int maxSize, const _Ref<_ICacheProvider>& provider, bool logHits);

    // The value for `key`, from the cache or from the provider; null when the provider
    // has none, and such a key is not cached. `markDirty` makes the entry go back to the
    // provider when it is evicted.
    virtual _Ref<_Object> lookup(_Ref<_Object> key, bool markDirty);
    // Evicts from the front of the key order until at most `n` entries remain; returns
    // the entry evicted last, or null.
    virtual _Ref<_CacheEntry> shrinkCacheToSize(int n);

    int size() { return entries->size(); }
    int getHits() const { return hits; }
    int getMisses() const { return misses; }

private:
    _IPosition* positionOf(const _Ref<_Object>& key);

    int maxSize;
    _Ref<_ICacheProvider> provider;
    _Ref<torvik_util::_Hashtable> entries;
    _Ref<torvik_util::_Hashtable> positions;
    _Ref<_OrderedKeyList> order;
    int hits = 0;
    int misses = 0;
    bool logHits;
};

}  // namespace util_ds
