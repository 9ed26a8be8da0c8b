// The bounded object cache: eviction order, write-back of changed values, misses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/lang/Throwable.h"
#include "foundation/support/App.h"
#include "foundation/support/BaseLogger.h"
#include "sources/Cache.h"

using namespace torvik_lang;
using util_ds::_Cache;
using util_ds::_CacheEntry;
using util_ds::_OrderedKeyList;

namespace {

// Gives "value of k" for every key except "none", and notes every call.
class Provider : public _Object, public util_ds::_ICacheProvider {
public:
    _Ref<_Object> load(_Ref<_Object> key) override {
        std::string k = key->toCstr();
        loads.push_back(k);
        if (k == "fail") throw Throwable("load failed");
        if (k == "none") return nullptr;
        return _S(("value of " + k).c_str());
    }
    void store(_Ref<_Object> key, _Ref<_Object> value) override {
        stores.push_back(std::string(key->toCstr()) + "=" + value->toCstr());
    }
    std::vector<std::string> loads;
    std::vector<std::string> stores;
};

class Recorder : public util::_BaseLogger {
public:
    Recorder() : _BaseLogger(nullptr, nullptr) {}
    void addString(const _Ref<_String>& text) override { lines.push_back(text->c_str()); }
    std::vector<std::string> lines;
};

class Cache : public ::testing::Test {
protected:
    void SetUp() override { provider = new Provider(); }

    _Ref<_Cache> make(int maxSize, bool logHits = false) {
        return new _Cache(maxSize, _Ref<util_ds::_ICacheProvider>(provider), logHits);
    }
    static std::string get(const _Ref<_Cache>& c, char const* key, bool dirty = false) {
        _Ref<_Object> v = c->lookup(_S(key), dirty);
        return v ? v->toCstr() : "<null>";
    }

    _Ref<Provider> provider;
};

using Strings = std::vector<std::string>;

}  // namespace

TEST_F(Cache, EvictsTheOldestKeyWhenFull) {
    _Ref<_Cache> c = make(2);
    EXPECT_EQ(get(c, "a"), "value of a");
    get(c, "b");
    get(c, "c");
    EXPECT_EQ(c->getMisses(), 3);
    EXPECT_EQ(c->size(), 2);
    // b and c are held; a must be loaded again.
    provider->loads.clear();
    get(c, "b");
    get(c, "c");
    EXPECT_TRUE(provider->loads.empty());
    EXPECT_EQ(c->getHits(), 2);
    get(c, "a");
    EXPECT_EQ(provider->loads, Strings{"a"});
}

TEST_F(Cache, AHitMakesAKeyTheLastToGo) {
    _Ref<_Cache> c = make(3);
    for (char const* k : {"a", "b", "c"}) get(c, k);
    get(c, "a");  // order now b, c, a
    get(c, "d");  // evicts b
    get(c, "b");  // evicts c
    provider->loads.clear();
    get(c, "a");
    get(c, "d");
    get(c, "b");
    EXPECT_TRUE(provider->loads.empty()) << "a, d and b stay";
    get(c, "c");
    EXPECT_EQ(provider->loads, Strings{"c"});
}

TEST_F(Cache, ChangedValuesGoBackOnEviction) {
    _Ref<_Cache> c = make(2);
    get(c, "a", true);
    get(c, "b");
    get(c, "c");  // evicts a, which is dirty
    EXPECT_EQ(provider->stores, Strings{"a=value of a"});
    get(c, "d");  // evicts b, only read
    EXPECT_EQ(provider->stores.size(), 1u);
    // A hit can mark an entry too; the reused entry of an evicted key starts clean.
    get(c, "c", true);
    get(c, "e");  // evicts d
    get(c, "f");  // evicts c
    EXPECT_EQ(provider->stores, (Strings{"a=value of a", "c=value of c"}));
}

TEST_F(Cache, MissingValuesAreNotCached) {
    _Ref<_Cache> c = make(2);
    EXPECT_EQ(get(c, "none"), "<null>");
    EXPECT_EQ(get(c, "none"), "<null>");
    EXPECT_EQ(provider->loads, (Strings{"none", "none"}));
    EXPECT_EQ(c->size(), 0);
    EXPECT_EQ(c->getMisses(), 0);
}

TEST_F(Cache, ShrinkReturnsTheLastEvictedEntry) {
    _Ref<_Cache> c = make(4);
    for (char const* k : {"a", "b", "c"}) get(c, k, true);
    _Ref<_CacheEntry> last = c->shrinkCacheToSize(1);
    ASSERT_TRUE(last);
    EXPECT_STREQ(last->key->toCstr(), "b");
    EXPECT_EQ(provider->stores, (Strings{"a=value of a", "b=value of b"}));
    EXPECT_EQ(c->size(), 1);
    EXPECT_TRUE(c->shrinkCacheToSize(5).isNull());
    c->shrinkCacheToSize(-3);
    EXPECT_EQ(c->size(), 0);
}

TEST_F(Cache, HitsAreLoggedWhenAsked) {
    _Ref<util::_ILogger> previous = util::App::log;
    _Ref<Recorder> recorder = new Recorder();
    util::App::log = _Ref<util::_ILogger>(recorder);
    _Ref<_Cache> logged = make(2, true);
    get(logged, "key");
    EXPECT_TRUE(recorder->lines.empty());
    get(logged, "key");
    get(logged, "key");
    _Ref<_Cache> quiet = make(2);
    get(quiet, "key");
    get(quiet, "key");
    util::App::log = previous;
    EXPECT_EQ(recorder->lines, (Strings{"\nCache hit (1): key", "\nCache hit (2): key"}));
}

TEST_F(Cache, FailuresPassThrough) {
    _Ref<_Cache> c = make(1);
    get(c, "a", true);
    EXPECT_THROW(get(c, "fail"), Throwable);
    // The eviction before the failed load stays done.
    EXPECT_EQ(provider->stores, Strings{"a=value of a"});
    EXPECT_EQ(c->size(), 0);
    EXPECT_THROW(c->lookup(nullptr, false), Throwable);
    EXPECT_THROW(make(0), Throwable);

    _Ref<_Cache> noProvider = new _Cache(2, nullptr, false);
    EXPECT_THROW(get(noProvider, "a"), Throwable);
}

TEST(OrderedKeyList, PositionsMoveAndLeave) {
    _Ref<_OrderedKeyList> list = new _OrderedKeyList();
    EXPECT_TRUE(list->firstPosition().isNull());
    for (char const* k : {"a", "b", "c"}) list->append(_S(k));
    _Ref<util_ds::_IPosition> a = list->firstPosition();
    a->touch();
    EXPECT_STREQ(list->lastPosition()->element()->toCstr(), "a");
    EXPECT_STREQ(list->firstPosition()->element()->toCstr(), "b");
    a->remove();
    a->remove();
    a->touch();
    EXPECT_EQ(list->size(), 2);
    EXPECT_STREQ(list->lastPosition()->element()->toCstr(), "c");
    // A position held after its list is gone stays usable, and inert.
    _Ref<util_ds::_IPosition> c = list->lastPosition();
    list = nullptr;
    c->touch();
    c->remove();
    EXPECT_STREQ(c->element()->toCstr(), "c");
}

TEST(OrderedKeyList, LongListsGoWithoutRecursion) {
    _Ref<_OrderedKeyList> list = new _OrderedKeyList();
    _Ref<_Object> key = _S("k");
    for (int i = 0; i < 300000; ++i) list->append(key);
    EXPECT_EQ(list->size(), 300000);
    list = nullptr;
}
