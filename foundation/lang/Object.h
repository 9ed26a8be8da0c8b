// The root of the class model: counted objects and counted references.
//
// Every library object derives from _Object, lives on the heap in zero-filled memory
// and is held through _Ref<T>. The last reference that lets go deletes the object.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>

#include "foundation/lang/Memory.h"

namespace torvik_lang {

class _String;
class _Class;
template <class T> class _Ref;

// An object in automatic or static storage that has been lent to references carries
// this count; references never change it and never delete the object.
constexpr int STATIC_MARK = -7639;

// Raises a Throwable without message: code 0 for the use of a null reference,
// 1 for a failed checked conversion.
[[noreturn]] void throwRefException(int code);

class _ICountable {
public:
    int count = 0;

    _ICountable() = default;
    // A copy is a new object: it starts uncounted, whatever the original's count.
    _ICountable(const _ICountable&) : count(0) {}
    _ICountable& operator=(const _ICountable&) { return *this; }
    virtual ~_ICountable() = default;

    virtual void release();
    void retain() {
        if (count != STATIC_MARK) ++count;
    }
    bool isStatic() const { return count == STATIC_MARK; }

    // Library objects come from osAlloc, so every field starts at zero.
    static void* operator new(size_t n);
    static void* operator new(size_t, void* place) noexcept { return place; }
    static void operator delete(void* p) noexcept;
    static void operator delete(void*, void*) noexcept {}
};

class _Object : public _ICountable {
public:
    virtual void finalize();
    virtual int hashCode();
    virtual bool equals(const _Ref<_Object>& o);
    virtual bool equals(char const* text);
    virtual _Ref<_Object> clone();
    virtual _Ref<_String> toString();
    virtual char const* toCstr();
    virtual _Ref<_Class> getClass();
};

// The readable class name of an object's dynamic type: "class " followed by the
// namespace-qualified name, the same text on every platform.
_Ref<_String> className(const _ICountable& object);

class _IRef {
public:
    virtual _ICountable* countable() const = 0;

protected:
    ~_IRef() = default;
};

template <class T>
class _Ref : public _IRef {
    // A conversion source: another class, tested lazily so that an incomplete T (a
    // class that holds a reference to its own kind) is never inspected.
    template <class U>
    static constexpr bool otherPolymorphic() {
        return std::conjunction<std::negation<std::is_same<U, T>>, std::is_polymorphic<U>>::value;
    }

public:
    constexpr _Ref() noexcept : ptr(nullptr) {}
    constexpr _Ref(std::nullptr_t) noexcept : ptr(nullptr) {}
    _Ref(T* p) : ptr(p) { retainPtr(); }
    _Ref(const _Ref& other) : ptr(other.ptr) { retainPtr(); }
    _Ref(_Ref&& other) noexcept : ptr(other.ptr) { other.ptr = nullptr; }

    // Conversion from a reference or pointer of another class: upcasts are free,
    // anything else is a checked run-time conversion that throws when it fails.
    template <class U, class = std::enable_if_t<otherPolymorphic<U>()>>
    _Ref(const _Ref<U>& other) : ptr(convert(other.get())) { retainPtr(); }
    template <class U, class = std::enable_if_t<otherPolymorphic<U>()>>
    _Ref(U* p) : ptr(convert(p)) { retainPtr(); }

    ~_Ref() { releasePtr(); }

    _Ref& operator=(const _Ref& other) {
        // Retain first, then release: self-assignment keeps the object alive.
        T* p = other.ptr;
        if (p) countOf(p)->retain();
        releasePtr();
        ptr = p;
        return *this;
    }
    _Ref& operator=(_Ref&& other) noexcept {
        if (this != &other) {
            T* p = other.ptr;
            other.ptr = nullptr;
            releasePtr();
            ptr = p;
        }
        return *this;
    }
    template <class U>
    _Ref& operator=(const _Ref<U>& other) { return *this = _Ref(other); }
    _Ref& operator=(T* p) { return *this = _Ref(p); }
    _Ref& operator=(std::nullptr_t) {
        releasePtr();
        ptr = nullptr;
        return *this;
    }

    T* operator->() const {
        if (!ptr) throwRefException(0);
        return ptr;
    }
    T& operator*() const {
        if (!ptr) throwRefException(0);
        return *ptr;
    }

    T* get() const noexcept { return ptr; }
    bool isNull() const noexcept { return ptr == nullptr; }
    explicit operator bool() const noexcept { return ptr != nullptr; }
    bool operator==(std::nullptr_t) const noexcept { return ptr == nullptr; }
    bool operator!=(std::nullptr_t) const noexcept { return ptr != nullptr; }
    template <class U>
    bool operator==(const _Ref<U>& o) const noexcept {
        return static_cast<const void*>(countable()) == static_cast<const void*>(o.countable());
    }
    template <class U>
    bool operator!=(const _Ref<U>& o) const noexcept { return !(*this == o); }

    _ICountable* countable() const override { return ptr ? countOf(ptr) : nullptr; }

private:
    T* ptr;

    static _ICountable* countOf(T* p) {
        if constexpr (std::is_base_of<_ICountable, T>::value) {
            return p;
        } else {
            // An interface that is not the object's first base: find the count by the
            // run-time cast.
            return dynamic_cast<_ICountable*>(p);
        }
    }
    template <class U>
    static T* convert(U* p) {
        if (!p) return nullptr;
        if constexpr (std::is_convertible<U*, T*>::value) {
            return p;
        } else {
            T* t = dynamic_cast<T*>(p);
            if (!t) throwRefException(1);
            return t;
        }
    }
    void retainPtr() {
        if (ptr) countOf(ptr)->retain();
    }
    void releasePtr() {
        if (ptr) {
            _ICountable* c = countOf(ptr);
            ptr = nullptr;
            c->release();
        }
    }
};

}  // namespace torvik_lang
