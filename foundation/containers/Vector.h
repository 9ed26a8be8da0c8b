// A growable array of object references.
#pragma once

#include "foundation/containers/Enumeration.h"
#include "foundation/lang/Array.h"
#include "foundation/lang/String.h"

namespace torvik_util {

using torvik_lang::_Array;
using torvik_lang::_String;

using _ObjectArray = _Array<_Ref<_Object>, _Object>;

class _Vector : public _Object {
public:
    // A capacity increment of 0 or less doubles the capacity on growth.
    explicit _Vector(int initialCapacity = 10, int capacityIncrement = 0);

    _Ref<_String> toString() override;

    virtual void copyInto(_Ref<_ObjectArray> target);
    virtual void trimToSize();
    virtual void ensureCapacity(int minCapacity);
    virtual void setSize(int n);
    virtual int capacity();
    virtual int size();
    virtual bool isEmpty();
    virtual bool contains(_Ref<_Object> o);
    virtual int indexOf(_Ref<_Object> o, int from);
    virtual int indexOf(_Ref<_Object> o);
    virtual int lastIndexOf(_Ref<_Object> o, int from);
    virtual int lastIndexOf(_Ref<_Object> o);
    virtual _Ref<_Object> elementAt(int index);
    virtual _Ref<_Object> firstElement();
    virtual _Ref<_Object> lastElement();
    virtual void setElementAt(_Ref<_Object> o, int index);
    virtual void removeElementAt(int index);
    virtual void insertElementAt(_Ref<_Object> o, int index);
    virtual void addElement(_Ref<_Object> o);
    virtual bool removeElement(_Ref<_Object> o);
    virtual void removeAllElements();

    // A walk over the elements from first to last.
    _Ref<_Enumeration> elements();

private:
    void checkIndex(int index, int limit);
    void resize(int newCapacity);

    _Ref<_ObjectArray> elementData;
    int elementCount = 0;
    int capacityIncrement = 0;
};

}  // namespace torvik_util
