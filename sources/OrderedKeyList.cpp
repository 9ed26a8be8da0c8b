#include "sources/OrderedKeyList.h"

namespace util_ds {

_OrderedKeyList::~_OrderedKeyList() {
    // One position at a time, so that a long list does not go down in a recursion, and
    // positions still held elsewhere no longer point here.
    _Ref<_CachePosition> p = head;
    head = nullptr;
    tail = nullptr;
    while (p) {
        _Ref<_CachePosition> next = p->next;
        p->next = nullptr;
        p->previous = nullptr;
        p->list = nullptr;
        p = next;
    }
}

int _OrderedKeyList::size() { return count; }

void _OrderedKeyList::append(const _Ref<_Object>& key) { link(new _CachePosition(key)); }

_Ref<_IPosition> _OrderedKeyList::firstPosition() { return head; }

_Ref<_IPosition> _OrderedKeyList::lastPosition() { return tail; }

void _OrderedKeyList::link(_CachePosition* p) {
    p->list = this;
    p->previous = tail;
    p->next = nullptr;
    if (tail) {
        tail->next = p;
    } else {
        head = p;
    }
    tail = p;
    ++count;
}

void _OrderedKeyList::unlink(_CachePosition* p) {
    // The list may hold the only count of p.
    _Ref<_CachePosition> keep = p;
    _CachePosition* previous = p->previous;
    _Ref<_CachePosition> next = p->next;
    if (previous) {
        previous->next = next;
    } else {
        head = next;
    }
    if (next) {
        next->previous = previous;
    } else {
        tail = previous;
    }
    p->next = nullptr;
    p->previous = nullptr;
    p->list = nullptr;
    --count;
}

void _OrderedKeyList::moveToEnd(_CachePosition* p) {
    if (p == tail) return;
    _Ref<_CachePosition> keep = p;
    unlink(p);
    link(p);
}

}  // namespace util_ds
