// A growable array object: _Array<E, B> derives from B (_Object or another array).
#pragma once

#include <climits>
#include <type_traits>
#include <utility>

#include "foundation/lang/Object.h"
#include "foundation/lang/Throwable.h"

namespace torvik_lang {

template <class E, class B = _Object>
class _Array : public B {
public:
    explicit _Array(int n = 0) {
        if (n > 0) {
            data = allocate(n);
            capacity = length = n;
        }
    }
    ~_Array() override { destroy(data, capacity); }
    _Array(const _Array&) = delete;
    _Array& operator=(const _Array&) = delete;

    int capacity = 0;
    E* data = nullptr;
    int length = 0;

    // Makes room for `n` elements and raises `length` to at least `n`.
    void setLength(int n) {
        if (n >= capacity && n > 0) {
            E* grown = allocate(n);
            for (int i = 0; i < length; ++i) grown[i] = std::move(data[i]);
            destroy(data, capacity);
            data = grown;
            capacity = n;
        }
        if (n > length) length = n;
    }

    // Checked element access: an index outside 0 .. length - 1 throws.
    E& at(int i) {
        if (i < 0 || i >= length) throw Throwable("Array index out of range");
        return data[i];
    }
    const E& at(int i) const {
        if (i < 0 || i >= length) throw Throwable("Array index out of range");
        return data[i];
    }

    // Stores element `i`, growing the storage when `i` is beyond it.
    void put(int i, const E& value) {
        if (i < 0) throw Throwable("Array index out of range");
        if (i >= capacity) {
            long long wanted = static_cast<long long>(i) * 10 / 9 + 10;
            setLength(wanted > INT_MAX ? INT_MAX : static_cast<int>(wanted));
        }
        if (i >= capacity) throw Throwable("Array index out of range");
        length = i + 1;
        data[i] = value;
    }

private:
    static E* allocate(int n) {
        // Value-initialised: references start null, plain elements at zero.
        return new E[static_cast<size_t>(n)]();
    }
    static void destroy(E* p, int) { delete[] p; }
};

}  // namespace torvik_lang
