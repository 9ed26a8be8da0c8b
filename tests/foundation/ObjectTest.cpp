#include <gtest/gtest.h>

#include "foundation/lang/Array.h"
#include "foundation/lang/Class.h"
#include "foundation/lang/Throwable.h"

using namespace torvik_lang;

namespace {

int destroyed = 0;

class Tracked : public _Object {
public:
    ~Tracked() override { ++destroyed; }
    _Ref<_Object> other;
};

class Unrelated : public _Object {};

class IShape {
public:
    virtual int corners() = 0;

protected:
    virtual ~IShape() = default;
};

class Square : public _Object, public IShape {
public:
    ~Square() override { ++destroyed; }
    int corners() override { return 4; }
};

}  // namespace

TEST(Ref, SelfAssignmentKeepsObjectAndCount) {
    destroyed = 0;
    _Ref<Tracked> r = new Tracked();
    _Ref<Tracked>& alias = r;
    r = alias;
    EXPECT_EQ(r->count, 1);
    EXPECT_EQ(destroyed, 0);
}

TEST(Ref, LastReleaseDeletesAChainOfObjects) {
    destroyed = 0;
    {
        _Ref<Tracked> first = new Tracked();
        first->other = new Tracked();
        EXPECT_EQ(first->count, 1);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(Ref, StaticMarkSurvivesReferences) {
    destroyed = 0;
    Tracked onStack;
    onStack.count = STATIC_MARK;
    for (int i = 0; i < 3; ++i) {
        _Ref<_Object> r(&onStack);
        _Ref<_Object> copy = r;
        EXPECT_EQ(onStack.count, STATIC_MARK);
    }
    EXPECT_EQ(onStack.count, STATIC_MARK);
    EXPECT_EQ(destroyed, 0);
}

TEST(Ref, ConversionChecksTheTypeAndCounts) {
    _Ref<_Object> none;
    EXPECT_TRUE(_Ref<Tracked>(none).isNull());
    _Ref<_Object> unrelated = new Unrelated();
    EXPECT_THROW({ _Ref<Tracked> t(unrelated); }, Throwable);
    EXPECT_EQ(unrelated->count, 1);
    _Ref<_Object> o = new Tracked();
    _Ref<Tracked> t(o);
    EXPECT_EQ(o->count, 2);
}

TEST(Ref, InterfaceReferencesCountTheObject) {
    destroyed = 0;
    {
        _Ref<IShape> shape = new Square();
        EXPECT_EQ(shape->corners(), 4);
        _Ref<_Object> asObject(shape);
        EXPECT_EQ(asObject->count, 2);
        _Ref<IShape> back(asObject);
        EXPECT_EQ(asObject->count, 3);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(Ref, NullUseThrows) {
    _Ref<_Object> none;
    EXPECT_THROW(none->hashCode(), Throwable);
    EXPECT_THROW(*none, Throwable);
}

TEST(Object, EqualsIsIdentityAndTextCompareUsesAddressText) {
    _Ref<_Object> a = new _Object();
    _Ref<_Object> b = new _Object();
    EXPECT_TRUE(a->equals(a));
    EXPECT_FALSE(a->equals(b));
    EXPECT_FALSE(a->equals("abc"));
    EXPECT_TRUE(a->equals(a->toString()->c_str()));
    EXPECT_EQ(std::string(a->toCstr()).rfind("[object 0x", 0), 0u);
}

TEST(Object, NewObjectsStartZeroFilled) {
    struct Plain : _Object {
        int a;
        double b;
        void* c;
    };
    _Ref<Plain> p = new Plain();
    EXPECT_EQ(p->a, 0);
    EXPECT_EQ(p->b, 0.0);
    EXPECT_EQ(p->c, nullptr);
}

TEST(Object, GetClassGivesQualifiedNameAndNewObjects) {
    _Ref<_Object> s = _S("x");
    _Ref<_Class> c1 = s->getClass();
    _Ref<_Class> c2 = s->getClass();
    EXPECT_NE(c1.get(), c2.get());
    EXPECT_EQ(c1->getName().get(), c2->getName().get());
    EXPECT_STREQ(c1->getName()->c_str(), "class torvik_lang::_String");
}

TEST(Throwable, ToStringWithAndWithoutMessage) {
    Throwable plain;
    EXPECT_STREQ(plain.toString()->c_str(), "class torvik_lang::Throwable");
    Throwable withText("bad");
    EXPECT_STREQ(withText.toString()->c_str(), "class torvik_lang::Throwable : bad");
    EXPECT_STREQ(withText.getLocalizedMessage()->c_str(), "bad");
    EXPECT_EQ(withText.getCode(), 0);
}

TEST(Throwable, ReferenceToCaughtExceptionNeverDeletesIt) {
    try {
        throw Throwable("x");
    } catch (Throwable& t) {
        { _Ref<_Object> r(&t); }
        EXPECT_STREQ(t.getMessage()->c_str(), "x");
    }
}

TEST(Array, SetLengthGrowsAndKeepsElements) {
    _Ref<_Array<int>> a = new _Array<int>(2);
    a->at(0) = 7;
    a->at(1) = 8;
    a->setLength(5);
    EXPECT_EQ(a->length, 5);
    EXPECT_EQ(a->capacity, 5);
    EXPECT_EQ(a->at(0), 7);
    EXPECT_EQ(a->at(1), 8);
    a->setLength(3);  // never shrinks
    EXPECT_EQ(a->length, 5);
}

TEST(Array, PutGrowsByTenNinthsPlusTen) {
    _Ref<_Array<char>> a = new _Array<char>(0);
    a->put(0, 'a');
    EXPECT_EQ(a->capacity, 10);
    a->put(10, 'b');
    EXPECT_EQ(a->capacity, 10 * 10 / 9 + 10);
    EXPECT_EQ(a->length, 11);
}

TEST(Array, OutOfRangeThrows) {
    _Ref<_Array<int>> a = new _Array<int>(3);
    EXPECT_THROW(a->at(3), Throwable);
    EXPECT_THROW(a->at(-1), Throwable);
    EXPECT_THROW(a->put(-1, 0), Throwable);
}

TEST(Array, ReleasesReferenceElements) {
    destroyed = 0;
    {
        _Ref<_Array<_Ref<_Object>>> a = new _Array<_Ref<_Object>>(2);
        a->at(0) = new Tracked();
        EXPECT_TRUE(a->at(1).isNull());
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(Memory, PrimitivesFillAndMove) {
    char buf[8] = "abcdefg";
    osMemMove(buf + 1, buf, 3);
    EXPECT_STREQ(buf, "aabcefg");
    EXPECT_EQ(jmemSet(buf, 'z', 2), buf);
    EXPECT_EQ(buf[1], 'z');
    osMemSet(buf, 0x141, 1);
    EXPECT_EQ(buf[0], 0x41);
    void* p = osAlloc(16);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(static_cast<char*>(p)[15], 0);
    osFree(p);
}
