#include <gtest/gtest.h>

#include <string>

#include "foundation/containers/Hashtable2.h"
#include "foundation/containers/Vector.h"
#include "foundation/lang/Throwable.h"

using namespace torvik_lang;
using namespace torvik_util;

namespace {

// A key whose hash is chosen by the test, to put keys into the same bucket.
class Key : public _Object {
public:
    Key(int hash, char const* text) : hash(hash), text(_S(text)) {}
    int hashCode() override { return hash; }
    bool equals(const _Ref<_Object>& o) override {
        Key* k = dynamic_cast<Key*>(o.get());
        return k && k->text.get() == text.get();
    }
    _Ref<_String> toString() override { return text; }

private:
    int hash;
    _Ref<_String> text;
};

_Ref<_Object> str(char const* s) { return _S(s); }

}  // namespace

TEST(Hashtable, RehashesAtThirteenthKeyToCapacity35) {
    _Ref<_Hashtable> t = new _Hashtable();
    for (int i = 0; i < 12; ++i) t->put(str(("k" + std::to_string(i)).c_str()), str("v"));
    EXPECT_EQ(t->capacity(), 17);
    EXPECT_EQ(t->getThreshold(), 12);
    t->put(str("k12"), str("v"));
    EXPECT_EQ(t->capacity(), 35);
    EXPECT_EQ(t->getThreshold(), 26);
    EXPECT_EQ(t->size(), 13);
    for (int i = 0; i < 13; ++i) EXPECT_TRUE(t->containsKey(str(("k" + std::to_string(i)).c_str())));
}

TEST(Hashtable, PutExistingKeyReturnsOldValue) {
    _Ref<_Hashtable> t = new _Hashtable();
    EXPECT_TRUE(t->put(str("a"), str("1")).isNull());
    _Ref<_Object> old = t->put(str("a"), str("2"));
    EXPECT_STREQ(old->toCstr(), "1");
    EXPECT_EQ(t->size(), 1);
    EXPECT_STREQ(t->get(str("a"))->toCstr(), "2");
}

TEST(Hashtable, NullValueIsStoredButGetsNull) {
    _Ref<_Hashtable> t = new _Hashtable();
    t->put(str("k"), nullptr);
    EXPECT_TRUE(t->get(str("k")).isNull());
    EXPECT_TRUE(t->containsKey(str("k")));
    EXPECT_FALSE(t->containsKey(str("other")));
}

TEST(Hashtable, NullKeyAndBadConstructionThrow) {
    _Ref<_Hashtable> t = new _Hashtable();
    EXPECT_THROW(t->get(nullptr), Throwable);
    EXPECT_THROW(t->put(nullptr, str("x")), Throwable);
    EXPECT_THROW(t->remove(nullptr), Throwable);
    EXPECT_THROW({ _Hashtable bad(0, 0.75f); }, Throwable);
    EXPECT_THROW({ _Hashtable bad(5, 0.0f); }, Throwable);
}

TEST(Hashtable, SameBucketEnumeratesNewestFirst) {
    _Ref<_Hashtable> t = new _Hashtable();
    t->put(new Key(3, "old"), str("1"));
    t->put(new Key(3 + 17, "new"), str("2"));
    _Ref<_Enumeration> e = t->keys();
    ASSERT_TRUE(e->hasMoreElements());
    EXPECT_STREQ(e->nextElement()->toCstr(), "new");
    EXPECT_STREQ(e->nextElement()->toCstr(), "old");
    EXPECT_FALSE(e->hasMoreElements());
    try {
        e->nextElement();
        FAIL();
    } catch (Throwable& t) {
        EXPECT_STREQ(t.messageText(), "HashtableEnumerator");
    }
}

TEST(Hashtable, EnumeratesFromHighestBucket) {
    _Ref<_Hashtable> t = new _Hashtable();
    t->put(new Key(1, "low"), str("1"));
    t->put(new Key(5, "high"), str("2"));
    EXPECT_STREQ(t->toString()->c_str(), "{high=2, low=1}");
    _Ref<_Enumeration> values = t->elements();
    EXPECT_STREQ(values->nextElement()->toCstr(), "2");
    EXPECT_STREQ(_Ref<_Hashtable>(new _Hashtable())->toString()->c_str(), "{}");
}

TEST(Hashtable, RemoveUnlinksFromChain) {
    _Ref<_Hashtable> t = new _Hashtable();
    t->put(new Key(2, "a"), str("1"));
    t->put(new Key(2 + 17, "b"), str("2"));
    t->put(new Key(2 + 34, "c"), str("3"));
    EXPECT_STREQ(t->remove(new Key(2 + 17, "b"))->toCstr(), "2");
    EXPECT_TRUE(t->remove(new Key(2 + 17, "b")).isNull());
    EXPECT_EQ(t->size(), 2);
    EXPECT_STREQ(t->get(new Key(2, "a"))->toCstr(), "1");
    EXPECT_STREQ(t->get(new Key(2 + 34, "c"))->toCstr(), "3");
    t->clear();
    EXPECT_TRUE(t->isEmpty());
}

TEST(Hashtable, KeysVectorAndCloneOfChain) {
    _Ref<_Hashtable> t = new _Hashtable();
    t->put(str("x"), str("1"));
    t->put(str("y"), str("2"));
    EXPECT_EQ(t->keysVector()->size(), 2);

    _Ref<_HashtableEntry> first = new _HashtableEntry();
    first->key = str("k1");
    first->next = new _HashtableEntry();
    first->next->key = str("k2");
    _Ref<_HashtableEntry> copy(first->clone());
    EXPECT_NE(copy.get(), first.get());
    EXPECT_NE(copy->next.get(), first->next.get());
    EXPECT_EQ(copy->next->key.get(), first->next->key.get());
}

TEST(Hashtable2, NullValuesAreExplicit) {
    _Ref<util::_Hashtable2> t = new util::_Hashtable2();
    t->put(str("k"), nullptr);
    EXPECT_TRUE(t->get(str("k")).isNull());
    EXPECT_TRUE(t->containsKey(str("k")));
    EXPECT_FALSE(util::_Hashtable2::nullObj.isNull());
    t->put(str("v"), str("1"));
    EXPECT_STREQ(t->get(str("v"))->toCstr(), "1");
}
