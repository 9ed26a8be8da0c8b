// Typed parameter sets, and filling them from program arguments.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "foundation/data/Parameters.h"
#include "foundation/lang/Boolean.h"
#include "foundation/lang/Double.h"
#include "foundation/lang/Integer.h"
#include "foundation/lang/System.h"
#include "foundation/lang/Throwable.h"

using namespace torvik_lang;
using util_ds::_ArgumentArray;
using util_ds::_Parameters;

namespace {

_Ref<_Object> str(char const* s) { return _S(s); }

std::string text(const _Ref<_Object>& o) { return o ? o->toString()->c_str() : "<null>"; }

_Ref<_ArgumentArray> arguments(std::initializer_list<char const*> list) {
    _Ref<_ArgumentArray> args = new _ArgumentArray(static_cast<int>(list.size()));
    int i = 0;
    for (char const* a : list) args->data[i++] = _S(a);
    return args;
}

_Ref<_Parameters> processArgs(std::vector<char const*> list) {
    list.insert(list.begin(), "program");
    return System::processArgs(static_cast<int>(list.size()), const_cast<char**>(list.data()));
}

}  // namespace

TEST(Parameters, SettersStoreTypedValuesAndChain) {
    _Ref<_Parameters> p = new _Parameters();
    _Ref<_Parameters> same = p->set(_S("d"), 2.5)->set(_S("i"), 7)->set(_S("b"), true)->set(_S("s"), str("x"));
    EXPECT_EQ(same.get(), p.get());
    EXPECT_NE(dynamic_cast<_Double*>(p->getObject(_S("d")).get()), nullptr);
    EXPECT_NE(dynamic_cast<_Integer*>(p->getObject(_S("i")).get()), nullptr);
    EXPECT_NE(dynamic_cast<_Boolean*>(p->getObject(_S("b")).get()), nullptr);
    EXPECT_EQ(p->getObject(_S("s")).get(), _S("x").get());
    EXPECT_EQ(p->size(), 4);
}

TEST(Parameters, GettersConvertOrFallBack) {
    _Ref<_Parameters> p = new _Parameters();
    p->set(_S("twelve"), str("12"))->set(_S("abc"), str("abc"))->set(_S("big"), str("99999999999"));
    p->set(_S("n"), 3)->set(_S("zero"), 0)->set(_S("d"), 2.75)->set(_S("yes"), true)->set(_S("no"), false);
    p->set(_S("nothing"), _Ref<_Object>());

    EXPECT_EQ(p->getInt("twelve", -1), 12);
    EXPECT_EQ(p->getInt("abc", -1), -1);
    EXPECT_EQ(p->getInt("big", -1), -1);
    EXPECT_EQ(p->getInt("d", -1), 2);
    EXPECT_EQ(p->getInt("yes", -1), -1);
    EXPECT_EQ(p->getInt("missing", -1), -1);

    EXPECT_EQ(p->getDouble("d", 0), 2.75);
    EXPECT_EQ(p->getDouble("n", 0), 3.0);
    EXPECT_EQ(p->getDouble("twelve", -1), -1.0) << "a string is no number here";

    EXPECT_TRUE(p->getBoolean("yes", false));
    EXPECT_FALSE(p->getBoolean("no", true));
    EXPECT_TRUE(p->getBoolean("n", false));
    EXPECT_FALSE(p->getBoolean("zero", true));
    EXPECT_TRUE(p->getBoolean("twelve", true));
    EXPECT_FALSE(p->getBoolean("missing", false));

    EXPECT_STREQ(p->getString("n", "def")->c_str(), "3");
    EXPECT_STREQ(p->getString("yes", "def")->c_str(), "true");
    EXPECT_STREQ(p->getString("missing", "def")->c_str(), "def");
    EXPECT_TRUE(p->getString("missing", nullptr).isNull());
    EXPECT_STREQ(p->getString("nothing", "def")->c_str(), "def");

    EXPECT_TRUE(p->isSet(_S("nothing")));
    EXPECT_FALSE(p->isSet(_S("missing")));
    EXPECT_TRUE(p->getObject(_S("nothing")).isNull());
}

TEST(Parameters, NestedSetsAndVectorsByKind) {
    _Ref<_Parameters> p = new _Parameters();
    _Ref<_Parameters> inner = new _Parameters();
    _Ref<torvik_util::_Vector> v = new torvik_util::_Vector();
    p->set(_S("inner"), _Ref<_Object>(inner))->set(_S("v"), _Ref<_Object>(v))->set(_S("s"), str("x"));
    EXPECT_EQ(p->getParameters("inner").get(), inner.get());
    EXPECT_TRUE(p->getParameters("s").isNull());
    EXPECT_TRUE(p->getParameters("missing").isNull());
    EXPECT_EQ(p->getVector(_S("v")).get(), v.get());
    EXPECT_TRUE(p->getVector(_S("inner")).isNull());
}

TEST(Parameters, AddMergesShallowly) {
    _Ref<_Parameters> p = new _Parameters();
    p->set(_S("a"), str("mine"));
    _Ref<_Parameters> other = new _Parameters();
    other->set(_S("a"), str("theirs"))->set(_S("b"), str("new"))->set(_S("n"), _Ref<_Object>());

    p->add(other, false);
    EXPECT_EQ(text(p->getObject(_S("a"))), "mine");
    EXPECT_EQ(text(p->getObject(_S("b"))), "new");
    EXPECT_TRUE(p->isSet(_S("n")));
    p->add(other, true);
    EXPECT_EQ(text(p->getObject(_S("a"))), "theirs");
    EXPECT_THROW(p->add(nullptr, true), Throwable);
}

TEST(Parameters, AddDeepMergesAtEveryDepth) {
    // this: { a: x, deep: { one: 1, mid: { k: old } }, plain: p, nested: { q: 1 } }
    _Ref<_Parameters> mid = (new _Parameters())->set(_S("k"), str("old"));
    _Ref<_Parameters> deep = (new _Parameters())->set(_S("one"), 1)->set(_S("mid"), _Ref<_Object>(mid));
    _Ref<_Parameters> nested = (new _Parameters())->set(_S("q"), 1);
    _Ref<_Parameters> mine = new _Parameters();
    mine->set(_S("a"), str("x"))->set(_S("deep"), _Ref<_Object>(deep));
    mine->set(_S("plain"), str("p"))->set(_S("nested"), _Ref<_Object>(nested));

    // other: { a: y, b: z, deep: { two: 2, mid: { k: new, j: added } }, plain: {r: 2}, nested: w }
    _Ref<_Parameters> otherMid = (new _Parameters())->set(_S("k"), str("new"))->set(_S("j"), str("added"));
    _Ref<_Parameters> otherDeep =
        (new _Parameters())->set(_S("two"), 2)->set(_S("mid"), _Ref<_Object>(otherMid));
    _Ref<_Parameters> otherPlain = (new _Parameters())->set(_S("r"), 2);
    _Ref<_Parameters> other = new _Parameters();
    other->set(_S("a"), str("y"))->set(_S("b"), str("z"))->set(_S("deep"), _Ref<_Object>(otherDeep));
    other->set(_S("plain"), _Ref<_Object>(otherPlain))->set(_S("nested"), str("w"));

    mine->addDeep(other);

    EXPECT_EQ(text(mine->getObject(_S("a"))), "y");
    EXPECT_EQ(text(mine->getObject(_S("b"))), "z");
    EXPECT_EQ(mine->getParameters("deep").get(), deep.get()) << "the nested set is merged, not replaced";
    EXPECT_EQ(deep->getInt("one", 0), 1);
    EXPECT_EQ(deep->getInt("two", 0), 2);
    EXPECT_EQ(deep->getParameters("mid").get(), mid.get());
    EXPECT_EQ(text(mid->getObject(_S("k"))), "new");
    EXPECT_EQ(text(mid->getObject(_S("j"))), "added");

    // Only the other side held a set: this set now refers to that very set, which keeps
    // this side's plain value under ".".
    EXPECT_EQ(mine->getParameters("plain").get(), otherPlain.get());
    EXPECT_EQ(text(otherPlain->getObject(_S("."))), "p");
    EXPECT_EQ(otherPlain->getInt("r", 0), 2);
    // Only this side held a set: it keeps it and takes the other's plain value under ".".
    EXPECT_EQ(mine->getParameters("nested").get(), nested.get());
    EXPECT_EQ(text(nested->getObject(_S("."))), "w");
    EXPECT_EQ(nested->getInt("q", 0), 1);
}

TEST(Parameters, AddDeepEndsOnSetsThatHoldThemselves) {
    _Ref<_Parameters> a = new _Parameters();
    a->set(_S("self"), _Ref<_Object>(a))->set(_S("v"), 1);
    _Ref<_Parameters> b = new _Parameters();
    b->set(_S("self"), _Ref<_Object>(b))->set(_S("w"), 2);
    a->addDeep(b);
    EXPECT_EQ(a->getInt("w", 0), 2);
    a->addDeep(a);
    EXPECT_EQ(a->size(), 3);
    // Break the cycles so that the sets can go.
    a->remove(_S("self"));
    b->remove(_S("self"));
    EXPECT_THROW(a->addDeep(nullptr), Throwable);
}

TEST(Parameters, ProcessArgsReadsSwitchesAndFiles) {
    _Ref<_Parameters> p = processArgs({"-size:10", "-v", "a.txt", "b.txt", "-a:b:c", "c.txt"});
    EXPECT_EQ(p->size(), 6);
    EXPECT_EQ(p->getObject(_S("size")).get(), _S("10").get());
    EXPECT_TRUE(p->getBoolean("v", false));
    EXPECT_EQ(text(p->getObject(_S("file"))), "a.txt");
    EXPECT_EQ(text(p->getObject(_S("file1"))), "b.txt");
    EXPECT_EQ(text(p->getObject(_S("file2"))), "c.txt");
    EXPECT_EQ(text(p->getObject(_S("a"))), "b:c") << "only the first colon splits";
    EXPECT_EQ(p->getInt("size", 0), 10);

    EXPECT_EQ(processArgs({})->size(), 0);
    EXPECT_EQ(System::processArgs(0, nullptr)->size(), 0);
}

TEST(Parameters, InterpretCommandLineTakesValuesAfterNames) {
    _Ref<_Parameters> p = new _Parameters();
    _Ref<_String> last = p->interpretCommandLine(arguments({"-n", "5", "-q", "x"}));
    EXPECT_EQ(text(p->getObject(_S("n"))), "5");
    EXPECT_EQ(text(p->getObject(_S("q"))), "x");
    EXPECT_STREQ(last->c_str(), "x");

    _Ref<_Parameters> flags = new _Parameters();
    EXPECT_TRUE(flags->interpretCommandLine(arguments({"-n", "-q"})).isNull());
    EXPECT_TRUE(flags->getBoolean("n", false));
    EXPECT_TRUE(flags->getBoolean("q", false));

    _Ref<_Parameters> loose = new _Parameters();
    EXPECT_STREQ(loose->interpretCommandLine(arguments({"in.txt", "-v", "5", "out.txt"}))->c_str(), "out.txt");
    EXPECT_EQ(loose->size(), 1) << "arguments not taken as values are passed over";
    EXPECT_TRUE(loose->interpretCommandLine(arguments({})).isNull());
    EXPECT_THROW(loose->interpretCommandLine(nullptr), Throwable);
}
