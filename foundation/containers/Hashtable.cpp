#include "foundation/containers/Hashtable.h"

#include <climits>

#include "foundation/containers/Vector.h"
#include "foundation/lang/Throwable.h"

namespace torvik_util {

using torvik_lang::_S;
using torvik_lang::Throwable;
using torvik_lang::throwRefException;

namespace {

int bucketOf(int hash, int capacity) { return (hash & 0x7FFFFFFF) % capacity; }

}  // namespace

_Ref<_Object> _HashtableEntry::clone() {
    // Iterative, so that a long chain cannot exhaust the stack.
    _Ref<_HashtableEntry> head;
    _HashtableEntry* tail = nullptr;
    for (_HashtableEntry* e = this; e; e = e->next.get()) {
        _Ref<_HashtableEntry> copy = new _HashtableEntry();
        copy->hash = e->hash;
        copy->key = e->key;
        copy->value = e->value;
        if (tail) {
            tail->next = copy;
        } else {
            head = copy;
        }
        tail = copy.get();
    }
    return head;
}

_Hashtable::_Hashtable() : _Hashtable(17, 0.75f) {}

_Hashtable::_Hashtable(int initialCapacity, float loadFactor) {
    if (initialCapacity <= 0 || !(loadFactor > 0)) throw Throwable();
    table = new _BucketArray(initialCapacity);
    threshold = static_cast<int>(initialCapacity * loadFactor);
    this->loadFactor = loadFactor;
}

_Hashtable::~_Hashtable() {
    // Unlink the chains one entry at a time, so that destroying a long chain does not
    // recurse once per entry.
    if (!table) return;
    for (int i = 0; i < table->length; ++i) {
        _Ref<_HashtableEntry> e = table->data[i];
        table->data[i] = nullptr;
        while (e) {
            _Ref<_HashtableEntry> next = e->next;
            e->next = nullptr;
            e = next;
        }
    }
}

int _Hashtable::size() { return count; }

bool _Hashtable::isEmpty() { return count == 0; }

_HashtableEntry* _Hashtable::find(const _Ref<_Object>& key, int hash) {
    for (_HashtableEntry* e = table->data[bucketOf(hash, table->length)].get(); e; e = e->next.get()) {
        if (e->hash == hash && e->key->equals(key)) return e;
    }
    return nullptr;
}

_Ref<_Object> _Hashtable::get(_Ref<_Object> key) {
    if (!key) throwRefException(0);
    _HashtableEntry* e = find(key, key->hashCode());
    return e ? e->value : nullptr;
}

bool _Hashtable::containsKey(_Ref<_Object> key) {
    if (!key) throwRefException(0);
    return find(key, key->hashCode()) != nullptr;
}

_Ref<_Object> _Hashtable::put(_Ref<_Object> key, _Ref<_Object> value) {
    for (;;) {
        if (!key) throwRefException(0);
        int hash = key->hashCode();
        if (_HashtableEntry* e = find(key, hash)) {
            _Ref<_Object> previous = e->value;
            e->value = value;
            return previous;
        }
        if (count < threshold) {
            int index = bucketOf(hash, table->length);
            _Ref<_HashtableEntry> entry = new _HashtableEntry();
            entry->hash = hash;
            entry->key = key;
            entry->value = value;
            entry->next = table->data[index];
            table->data[index] = entry;
            ++count;
            return nullptr;
        }
        rehash();
    }
}

_Ref<_Object> _Hashtable::remove(_Ref<_Object> key) {
    if (!key) throwRefException(0);
    int hash = key->hashCode();
    int index = bucketOf(hash, table->length);
    _HashtableEntry* previous = nullptr;
    for (_Ref<_HashtableEntry> e = table->data[index]; e; e = e->next) {
        if (e->hash == hash && e->key->equals(key)) {
            if (previous) {
                previous->next = e->next;
            } else {
                table->data[index] = e->next;
            }
            --count;
            return e->value;
        }
        previous = e.get();
    }
    return nullptr;
}

void _Hashtable::rehash() {
    _Ref<_BucketArray> old = table;
    int oldCapacity = old->length;
    if (oldCapacity > (INT_MAX - 1) / 2) throw Throwable("Hashtable too large");
    int newCapacity = oldCapacity * 2 + 1;
    _Ref<_BucketArray> grown = new _BucketArray(newCapacity);
    threshold = static_cast<int>(newCapacity * loadFactor);
    table = grown;
    for (int i = oldCapacity - 1; i >= 0; --i) {
        _Ref<_HashtableEntry> e = old->data[i];
        old->data[i] = nullptr;
        while (e) {
            _Ref<_HashtableEntry> next = e->next;
            int index = bucketOf(e->hash, newCapacity);
            e->next = grown->data[index];
            grown->data[index] = e;
            e = next;
        }
    }
}

_Ref<_Enumeration> _Hashtable::elements() { return new _HashtableEnumerator(table, false); }

_Ref<_Enumeration> _Hashtable::keys() { return new _HashtableEnumerator(table, true); }

void _Hashtable::clear() {
    for (int i = table->length - 1; i >= 0; --i) table->data[i] = nullptr;
    count = 0;
}

_Ref<_Vector> _Hashtable::keysVector() {
    _Ref<_Vector> result = new _Vector(10, 0);
    _Ref<_Enumeration> e = keys();
    while (e->hasMoreElements()) result->addElement(e->nextElement());
    return result;
}

_Ref<_String> _Hashtable::toString() {
    _Ref<_String> result = _S("{");
    _Ref<_String> comma = _S(", ");
    _Ref<_String> equalsSign = _S("=");
    bool first = true;
    for (int i = table->length - 1; i >= 0; --i) {
        for (_HashtableEntry* e = table->data[i].get(); e; e = e->next.get()) {
            if (!first) result = *result + comma;
            first = false;
            result = *result + e->key->toString();
            result = *result + equalsSign;
            result = *result + e->value->toString();
        }
    }
    return *result + _S("}");
}

_Hashtable::_HashtableEnumerator::_HashtableEnumerator(const _Ref<_BucketArray>& table, bool keys)
    : keys(keys), index(table->length), table(table) {}

bool _Hashtable::_HashtableEnumerator::hasMoreElements() {
    while (!entry && index > 0) entry = table->data[--index];
    return entry != nullptr;
}

_Ref<_Object> _Hashtable::_HashtableEnumerator::nextElement() {
    if (!hasMoreElements()) throw Throwable(_S("HashtableEnumerator"));
    _Ref<_HashtableEntry> e = entry;
    entry = e->next;
    return keys ? e->key : e->value;
}

}  // namespace torvik_util
