#include "foundation/containers/Vector.h"

#include <climits>

#include "foundation/lang/Throwable.h"

namespace torvik_util {

using torvik_lang::_S;
using torvik_lang::Throwable;
using torvik_lang::throwRefException;

namespace {

// A walk over a vector from its first element to its last.
class VectorEnumerator : public _Object, public _Enumeration {
public:
    explicit VectorEnumerator(const _Ref<_Vector>& v) : vector(v) {}
    bool hasMoreElements() override { return index < vector->size(); }
    _Ref<_Object> nextElement() override {
        if (!hasMoreElements()) throw Throwable(_S("VectorEnumerator"));
        return vector->elementAt(index++);
    }

private:
    _Ref<_Vector> vector;
    int index = 0;
};

}  // namespace

_Vector::_Vector(int initialCapacity, int capacityIncrement)
    : elementData(new _ObjectArray(initialCapacity < 0 ? 0 : initialCapacity)),
      capacityIncrement(capacityIncrement) {}

void _Vector::checkIndex(int index, int limit) {
    if (index < 0 || index >= limit) throw Throwable("Vector index out of range");
}

void _Vector::resize(int newCapacity) {
    _Ref<_ObjectArray> grown = new _ObjectArray(newCapacity);
    for (int i = 0; i < elementCount; ++i) grown->data[i] = elementData->data[i];
    elementData = grown;
}

void _Vector::copyInto(_Ref<_ObjectArray> target) {
    if (!target) throwRefException(0);
    if (target->length < elementCount) throw Throwable("Vector index out of range");
    for (int i = 0; i < elementCount; ++i) target->data[i] = elementData->data[i];
}

void _Vector::trimToSize() {
    if (elementCount < elementData->length) resize(elementCount);
}

void _Vector::ensureCapacity(int minCapacity) {
    int current = elementData->length;
    if (current >= minCapacity) return;
    long long wanted = capacityIncrement > 0 ? static_cast<long long>(current) + capacityIncrement
                                             : static_cast<long long>(current) * 2;
    if (wanted < minCapacity) wanted = minCapacity;
    if (wanted > INT_MAX) wanted = INT_MAX;
    resize(static_cast<int>(wanted));
}

void _Vector::setSize(int n) {
    if (n < 0) throw Throwable("Vector index out of range");
    if (n > elementCount) {
        ensureCapacity(n);
    } else {
        for (int i = n; i < elementCount; ++i) elementData->data[i] = nullptr;
    }
    elementCount = n;
}

int _Vector::capacity() { return elementData->length; }

int _Vector::size() { return elementCount; }

bool _Vector::isEmpty() { return elementCount == 0; }

bool _Vector::contains(_Ref<_Object> o) { return indexOf(o, 0) >= 0; }

int _Vector::indexOf(_Ref<_Object> o, int from) {
    if (!o) throwRefException(0);
    for (int i = from < 0 ? 0 : from; i < elementCount; ++i) {
        if (o->equals(elementData->data[i])) return i;
    }
    return -1;
}

int _Vector::indexOf(_Ref<_Object> o) { return indexOf(o, 0); }

int _Vector::lastIndexOf(_Ref<_Object> o, int from) {
    if (!o) throwRefException(0);
    for (int i = from >= elementCount ? elementCount - 1 : from; i >= 0; --i) {
        if (o->equals(elementData->data[i])) return i;
    }
    return -1;
}

int _Vector::lastIndexOf(_Ref<_Object> o) { return lastIndexOf(o, elementCount - 1); }

_Ref<_Object> _Vector::elementAt(int index) {
    checkIndex(index, elementCount);
    return elementData->data[index];
}

_Ref<_Object> _Vector::firstElement() {
    if (elementCount == 0) throw Throwable();
    return elementData->data[0];
}

_Ref<_Object> _Vector::lastElement() {
    if (elementCount == 0) throw Throwable();
    return elementData->data[elementCount - 1];
}

void _Vector::setElementAt(_Ref<_Object> o, int index) {
    checkIndex(index, elementCount);
    elementData->data[index] = o;
}

void _Vector::removeElementAt(int index) {
    checkIndex(index, elementCount);
    for (int i = index + 1; i < elementCount; ++i) elementData->data[i - 1] = elementData->data[i];
    --elementCount;
    elementData->data[elementCount] = nullptr;
}

void _Vector::insertElementAt(_Ref<_Object> o, int index) {
    checkIndex(index, elementCount + 1);
    ensureCapacity(elementCount + 1);
    for (int i = elementCount; i > index; --i) elementData->data[i] = elementData->data[i - 1];
    elementData->data[index] = o;
    ++elementCount;
}

void _Vector::addElement(_Ref<_Object> o) {
    if (elementCount == INT_MAX) throw Throwable("Vector too large");
    ensureCapacity(elementCount + 1);
    elementData->data[elementCount++] = o;
}

bool _Vector::removeElement(_Ref<_Object> o) {
    int i = indexOf(o);
    if (i < 0) return false;
    removeElementAt(i);
    return true;
}

void _Vector::removeAllElements() {
    for (int i = 0; i < elementCount; ++i) elementData->data[i] = nullptr;
    elementCount = 0;
}

_Ref<_Enumeration> _Vector::elements() { return new VectorEnumerator(this); }

_Ref<_String> _Vector::toString() {
    _Ref<_String> result = _S("(");
    _Ref<_String> comma = _S(",");
    _Ref<_String> null = _S("null");
    for (int i = 0; i < elementCount; ++i) {
        if (i > 0) result = *result + comma;
        _Ref<_Object> e = elementData->data[i];
        result = *result + (e ? e->toString() : null);
    }
    return *result + _S(")");
}

}  // namespace torvik_util
