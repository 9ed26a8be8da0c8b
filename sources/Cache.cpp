#include "sources/Cache.h"

#include <climits>

#include "foundation/lang/L.h"
#include "foundation/lang/Throwable.h"
#include "foundation/support/App.h"

namespace util_ds {

using torvik_lang::L;
using torvik_lang::throwRefException;

namespace {

constexpr char const* BAD_SIZE = "{Invalid cache size %d} de{Ung\xFCltige Cache-Gr\xF6\xDF" "e %d}";

// The counters only grow, and stop at the top of their range.
void addOne(int& counter) {
    if (counter < INT_MAX) ++counter;
}

}  // namespace

_Cache::_Cache(int maxSize, const _Ref<_ICacheProvider>& provider, bool logHits)
    : maxSize(maxSize),
      provider(provider),
      entries(new torvik_util::_Hashtable(17, 0.75f)),
      positions(new torvik_util::_Hashtable(17, 0.75f)),
      order(new _OrderedKeyList()),
      logHits(logHits) {
    if (maxSize < 1) throw torvik_lang::Throwable(L::getString(BAD_SIZE, maxSize));
}

_IPosition* _Cache::positionOf(const _Ref<_Object>& key) {
    _IPosition* p = dynamic_cast<_IPosition*>(positions->get(key).get());
    if (!p) throwRefException(0);
    return p;
}

_Ref<_Object> _Cache::lookup(_Ref<_Object> key, bool markDirty) {
    _Ref<_CacheEntry> e = dynamic_cast<_CacheEntry*>(entries->get(key).get());
    if (e) {
        addOne(hits);
        if (markDirty) e->dirty = true;
        positionOf(key)->touch();
        if (logHits) {
            _Ref<util::_ILogger> log = util::App::log;
            if (log) log->addLine(L::sprintf("Cache hit (%d): %s", hits, key->toCstr()));
        }
        return e->value;
    }

    // Room for one more entry; an evicted entry object is reused.
    e = shrinkCacheToSize(maxSize - 1);
    if (e) {
        e->dirty = false;
    } else {
        e = new _CacheEntry();
    }
    e->key = key;
    e->value = provider->load(key);
    if (!e->value) return nullptr;
    if (markDirty) e->dirty = true;
    addOne(misses);
    entries->put(key, e);
    order->append(key);
    positions->put(key, _Ref<_Object>(order->lastPosition()));
    return e->value;
}

_Ref<_CacheEntry> _Cache::shrinkCacheToSize(int n) {
    _Ref<_CacheEntry> last;
    // Below 0 there is nothing more to evict.
    if (n < 0) n = 0;
    while (order->size() > n) {
        _Ref<_IPosition> p = order->firstPosition();
        _Ref<_Object> k = p->element();
        p->remove();
        positions->remove(k);
        last = dynamic_cast<_CacheEntry*>(entries->remove(k).get());
        if (last && last->dirty) provider->store(k, last->value);
    }
    return last;
}

}  // namespace util_ds
