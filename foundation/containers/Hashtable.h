// A chained hash map from objects to objects, keyed by hashCode() and equals().
#pragma once

#include "foundation/containers/Enumeration.h"
#include "foundation/lang/Array.h"
#include "foundation/lang/String.h"

namespace torvik_util {

using torvik_lang::_Array;
using torvik_lang::_String;

class _Vector;

class _HashtableEntry : public _Object {
public:
    int hash = 0;
    _Ref<_Object> key;
    _Ref<_Object> value;
    _Ref<_HashtableEntry> next;

    // A copy of this entry and of the rest of its chain; keys and values are shared.
    _Ref<_Object> clone() override;
};

using _BucketArray = _Array<_Ref<_HashtableEntry>, _Object>;

class _Hashtable : public _Object {
public:
    _Hashtable();
    _Hashtable(int initialCapacity, float loadFactor);
    ~_Hashtable() override;

    _Ref<_String> toString() override;

    virtual int size();
    virtual bool isEmpty();
    virtual _Ref<_Object> remove(_Ref<_Object> key);
    virtual _Ref<_Object> get(_Ref<_Object> key);
    virtual _Ref<_Object> put(_Ref<_Object> key, _Ref<_Object> value);

protected:
    virtual void rehash();

public:
    virtual _Ref<_Enumeration> elements();
    virtual _Ref<_Enumeration> keys();
    virtual void clear();
    virtual bool containsKey(_Ref<_Object> key);
    virtual _Ref<_Vector> keysVector();

    int capacity() const { return table->length; }
    int getThreshold() const { return threshold; }

    class _HashtableEnumerator;

private:
    _HashtableEntry* find(const _Ref<_Object>& key, int hash);

    _Ref<_BucketArray> table;
    int count = 0;
    int threshold = 0;
    float loadFactor = 0;
};

class _Hashtable::_HashtableEnumerator : public _Object, public _Enumeration {
public:
    _HashtableEnumerator(const _Ref<_BucketArray>& table, bool keys);
    bool hasMoreElements() override;
    _Ref<_Object> nextElement() override;

private:
    bool keys;
    int index;
    _Ref<_BucketArray> table;
    _Ref<_HashtableEntry> entry;
};

}  // namespace torvik_util
