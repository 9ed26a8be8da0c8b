#include <gtest/gtest.h>

#include <functional>

#include "foundation/containers/Vector.h"
#include "foundation/lang/Throwable.h"

using namespace torvik_lang;
using namespace torvik_util;

namespace {

_Ref<_Object> str(char const* s) { return _S(s); }

_Ref<_Vector> of(std::initializer_list<char const*> items) {
    _Ref<_Vector> v = new _Vector(10, 0);
    for (char const* i : items) v->addElement(i ? str(i) : nullptr);
    return v;
}

}  // namespace

TEST(Vector, GrowthDoublesOrAddsIncrement) {
    _Ref<_Vector> doubling = new _Vector(10, 0);
    _Ref<_Vector> stepping = new _Vector(10, 5);
    for (int i = 0; i < 11; ++i) {
        doubling->addElement(str("x"));
        stepping->addElement(str("x"));
    }
    EXPECT_EQ(doubling->capacity(), 20);
    EXPECT_EQ(stepping->capacity(), 15);
    stepping->trimToSize();
    EXPECT_EQ(stepping->capacity(), 11);
}

TEST(Vector, InsertAtFrontKeepsAll) {
    _Ref<_Vector> v = of({"a", "b", "c"});
    v->insertElementAt(str("x"), 0);
    EXPECT_STREQ(v->toString()->c_str(), "(x,a,b,c)");
    v->insertElementAt(str("z"), 4);
    EXPECT_STREQ(v->toString()->c_str(), "(x,a,b,c,z)");
}

TEST(Vector, ToStringShowsNull) {
    EXPECT_STREQ(of({"1", nullptr, "3"})->toString()->c_str(), "(1,null,3)");
    EXPECT_STREQ(of({})->toString()->c_str(), "()");
}

TEST(Vector, SearchUsesEquals) {
    _Ref<_Vector> v = of({"a", "b", "a"});
    EXPECT_EQ(v->indexOf(str("a")), 0);
    EXPECT_EQ(v->indexOf(str("a"), 1), 2);
    EXPECT_EQ(v->lastIndexOf(str("a")), 2);
    EXPECT_EQ(v->lastIndexOf(str("a"), 1), 0);
    EXPECT_EQ(v->indexOf(str("zz")), -1);
    EXPECT_TRUE(v->contains(str("b")));
    EXPECT_THROW(v->indexOf(nullptr), Throwable);
}

TEST(Vector, RemoveAndSetSize) {
    _Ref<_Vector> v = of({"a", "b", "c"});
    EXPECT_TRUE(v->removeElement(str("b")));
    EXPECT_FALSE(v->removeElement(str("b")));
    EXPECT_STREQ(v->toString()->c_str(), "(a,c)");
    v->setSize(4);
    EXPECT_STREQ(v->toString()->c_str(), "(a,c,null,null)");
    v->setSize(1);
    EXPECT_STREQ(v->toString()->c_str(), "(a)");
    v->removeAllElements();
    EXPECT_TRUE(v->isEmpty());
}

TEST(Vector, FirstAndLastOfEmptyThrow) {
    _Ref<_Vector> v = of({});
    EXPECT_THROW(v->firstElement(), Throwable);
    EXPECT_THROW(v->lastElement(), Throwable);
    v->addElement(str("only"));
    EXPECT_EQ(v->firstElement().get(), v->lastElement().get());
}

TEST(Vector, BadIndexThrowsAndChangesNothing) {
    struct Case {
        char const* what;
        std::function<void(_Vector&)> use;
    } cases[] = {
        {"elementAt 2", [](_Vector& v) { v.elementAt(2); }},
        {"elementAt -1", [](_Vector& v) { v.elementAt(-1); }},
        {"setElementAt 2", [](_Vector& v) { v.setElementAt(str("x"), 2); }},
        {"removeElementAt 2", [](_Vector& v) { v.removeElementAt(2); }},
        {"removeElementAt -1", [](_Vector& v) { v.removeElementAt(-1); }},
        {"insertElementAt 3", [](_Vector& v) { v.insertElementAt(str("x"), 3); }},
        {"insertElementAt -1", [](_Vector& v) { v.insertElementAt(str("x"), -1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        _Ref<_Vector> v = of({"a", "b"});
        EXPECT_THROW(c.use(*v), Throwable);
        EXPECT_EQ(v->size(), 2);
    }
}

TEST(Vector, CopyIntoAndEnumeration) {
    _Ref<_Vector> v = of({"a", "b"});
    _Ref<_ObjectArray> target = new _ObjectArray(3);
    v->copyInto(target);
    EXPECT_STREQ(target->at(1)->toCstr(), "b");
    EXPECT_THROW(v->copyInto(new _ObjectArray(1)), Throwable);
    EXPECT_THROW(v->copyInto(nullptr), Throwable);
    _Ref<_Enumeration> e = v->elements();
    EXPECT_STREQ(e->nextElement()->toCstr(), "a");
    EXPECT_STREQ(e->nextElement()->toCstr(), "b");
    EXPECT_FALSE(e->hasMoreElements());
}
