#include "foundation/lang/String.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/containers/Hashtable.h"
#include "foundation/containers/Vector.h"
#include "foundation/lang/L.h"
#include "foundation/lang/Throwable.h"
#include "platform/os.h"

namespace torvik_lang {

using torvik_util::_Hashtable;

namespace {

// Texts longer than this cannot be represented by the 32-bit length.
int checkedLength(size_t n) {
    if (n > 0x7FFFFFF0u) throw Throwable("String too long");
    return static_cast<int>(n);
}

}  // namespace

// The process-wide string table: keys and values are the same _String objects.
class StringTable {
public:
    static constexpr int PRUNE_ABOVE = 2000;
    static constexpr int PRUNE_TO = 1000;

    static _Ref<_Hashtable>& table() {
        static _Ref<_Hashtable> instance;
        return instance;
    }

    // Forgets rarely asked-for texts. Each pass lowers every use count by one and drops
    // the texts that reach 0; passes repeat while 1001 or more remain. The number of
    // passes k follows from the use counts directly (the 1001st largest count, at least
    // 1), so a table of often-used texts is pruned in one walk instead of k walks.
    static void prune(_Hashtable& t) {
        _Ref<torvik_util::_Vector> keys = t.keysVector();
        int n = keys->size();
        std::vector<int> counts;
        counts.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            counts.push_back(static_cast<_String*>(keys->elementAt(i).get())->useCount);
        }
        int passes = 1;
        if (n > PRUNE_TO) {
            std::nth_element(counts.begin(), counts.begin() + PRUNE_TO, counts.end(),
                             std::greater<int>());
            passes = std::max(1, counts[PRUNE_TO]);
        }
        for (int i = 0; i < n; ++i) {
            _Ref<_Object> key = keys->elementAt(i);
            _String* s = static_cast<_String*>(key.get());
            long long left = static_cast<long long>(s->useCount) - passes;
            s->useCount = left < INT32_MIN ? INT32_MIN : static_cast<int>(left);
            if (s->useCount <= 0) t.remove(key);
        }
    }
};

_String::_String() : data(static_cast<char*>(osAlloc(1))), len(0), useCount(1) {
    if (!data) throw std::bad_alloc();
}

_String::_String(Borrowed, char const* text)
    : data(const_cast<char*>(text)), len(checkedLength(std::strlen(text))), useCount(1) {
    count = STATIC_MARK;
}

_String::_String(char const* text, int n) : len(n), useCount(1) {
    data = static_cast<char*>(osAlloc(static_cast<unsigned int>(n) + 1));
    if (!data) throw std::bad_alloc();
    if (n > 0) std::memcpy(data, text, static_cast<size_t>(n));
    data[n] = 0;
}

_String::~_String() {
    // A borrowed lookup key never owns its characters.
    if (count != STATIC_MARK) osFree(data);
    data = nullptr;
}

_Ref<_String> _String::make(char const* text, int n) { return new _String(text, n); }

_Ref<_String> _S(char const* text, bool) {
    if (!text) throwRefException(0);
    _Ref<_Hashtable>& table = StringTable::table();
    if (!table) table = new _Hashtable(17, 0.75f);
    if (!table) throwRefException(0);
    if (table->size() > StringTable::PRUNE_ABOVE) StringTable::prune(*table);

    _String key(_String::Borrowed{}, text);
    _Ref<_Object> found = table->get(_Ref<_Object>(&key));
    if (found) {
        _String* s = static_cast<_String*>(found.get());
        ++s->useCount;
        return s;
    }
    _Ref<_String> made = _String::make(text, key.len);
    table->put(made, made);
    return made;
}

int _String::internedCount() {
    _Ref<_Hashtable>& table = StringTable::table();
    return table ? table->size() : 0;
}

int _String::hashCode() {
    // Characters count as signed bytes; arithmetic wraps at 32 bits.
    uint32_t h = 0;
    if (len < 16) {
        for (int i = 0; i < len; ++i) h = h * 37u + static_cast<uint32_t>(static_cast<signed char>(data[i]));
    } else {
        int step = len / 8;
        for (int pos = 0, rest = len; rest > 0; pos += step, rest -= step) {
            h = h * 39u + static_cast<uint32_t>(static_cast<signed char>(data[pos]));
        }
    }
    return static_cast<int>(h);
}

bool _String::equals(const _Ref<_Object>& o) {
    if (o.get() == this) return true;
    if (!o) return false;
    _String* s = dynamic_cast<_String*>(o.get());
    if (!s) return false;
    return s->len == len && std::memcmp(s->data, data, static_cast<size_t>(len)) == 0;
}

bool _String::equals(char const* text) { return text && std::strcmp(data, text) == 0; }

_Ref<_String> _String::toString() { return this; }

int _String::length() { return len; }

char _String::charAt(int i) const {
    if (i < 0 || i >= len) throw Throwable("String index out of range");
    return data[i];
}

_Ref<_String> _String::toOEM() {
    _Ref<_String> result = make(data, len);
    glimsel_os::toOem(result->data, static_cast<size_t>(len));
    return result;
}

_Ref<_String> _String::toLowerCase() {
    std::vector<char> buffer(data, data + len + 1);
    glimsel_os::lowerCase(buffer.data(), static_cast<size_t>(len));
    return _S(buffer.data());
}

_Ref<_String> _String::toUpperCase() {
    std::vector<char> buffer(data, data + len + 1);
    glimsel_os::upperCase(buffer.data(), static_cast<size_t>(len));
    return _S(buffer.data());
}

int _String::indexOf(const _Ref<_String>& s, int from) {
    if (!s) throwRefException(0);
    return indexOf(s->data, s->len, from);
}

int _String::indexOf(char const* s, int from) {
    if (!s) throwRefException(0);
    return indexOf(s, checkedLength(std::strlen(s)), from);
}

int _String::indexOf(char const* s, int n, int from) {
    if (from < 0) {
        from = 0;
    } else if (from >= len) {
        return -1;
    }
    if (n <= 0) return from;
    for (int i = from; i <= len - n; ++i) {
        if (data[i] == s[0] && std::memcmp(data + i + 1, s + 1, static_cast<size_t>(n - 1)) == 0) return i;
    }
    return -1;
}

int _String::indexOf(char c, int from) {
    if (from < 0) from = 0;
    for (int i = from; i < len; ++i) {
        if (data[i] == c) return i;
    }
    return -1;
}

int _String::lastIndexOf(char c, int from) {
    for (int i = std::min(from, len - 1); i >= 0; --i) {
        if (data[i] == c) return i;
    }
    return -1;
}

int _String::lastIndexOf(char c) { return lastIndexOf(c, len - 1); }

bool _String::startsWith(const _Ref<_String>& s, int offset) {
    if (!s) throwRefException(0);
    if (offset < 0 || len - s->len < offset) return false;
    return std::memcmp(data + offset, s->data, static_cast<size_t>(s->len)) == 0;
}

bool _String::endsWith(const _Ref<_String>& s) {
    if (!s) throwRefException(0);
    return startsWith(s, len - s->len);
}

_Ref<_String> _String::substring(int begin, int end) {
    // Bounds outside 0 <= begin <= end <= length() would reach outside the characters.
    if (begin < 0 || end > len || begin > end) throw Throwable("String index out of range");
    if (begin == end) return emptyString ? emptyString : _S("");
    if (begin > 0 && end == len) return _S(data + begin);
    return make(data + begin, end - begin);
}

_Ref<_String> _String::substring(int begin) { return substring(begin, length()); }

_Ref<_String> _String::trim() {
    // Only the control characters and the space are blank; bytes from 0x80 up are
    // letters of 8-bit code pages and UTF-8 sequences, and stay.
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    int first = 0;
    int last = len - 1;
    while (first <= last && blank(data[first])) ++first;
    while (last >= first && blank(data[last])) --last;
    if (first == 0 && last == len - 1) return this;
    return substring(first, last + 1);
}

_Ref<_String> _String::replace(char from, char to) {
    _Ref<_String> result = make(data, len);
    for (int i = 0; i < len; ++i) {
        if (result->data[i] == from) result->data[i] = to;
    }
    return result;
}

int _String::compareTo(const _Ref<_String>& s) {
    if (!s) throwRefException(0);
    int n = std::min(len, s->len);
    for (int i = 0; i < n; ++i) {
        signed char a = static_cast<signed char>(data[i]);
        signed char b = static_cast<signed char>(s->data[i]);
        if (a != b) return a < b ? -1 : 1;
    }
    if (len == s->len) return 0;
    return len < s->len ? -1 : 1;
}

_Ref<_String> _String::operator+(const _Ref<_String>& other) {
    if (!other) throwRefException(0);
    int total = checkedLength(static_cast<size_t>(len) + static_cast<size_t>(other->len));
    _Ref<_String> result = make("", 0);
    char* joined = static_cast<char*>(osAlloc(static_cast<unsigned int>(total) + 1));
    if (!joined) throw std::bad_alloc();
    std::memcpy(joined, data, static_cast<size_t>(len));
    std::memcpy(joined + len, other->data, static_cast<size_t>(other->len));
    joined[total] = 0;
    osFree(result->data);
    result->data = joined;
    result->len = total;
    return result;
}

_Ref<_String> _String::valueOf(int v) { return L::sprintf("%d", v); }

_Ref<_String> _String::valueOf(double v) { return L::sprintf("%.20g", v); }

_Ref<_String> _String::valueOf(const _Ref<_Object>& o) {
    if (!o) return _S("null");
    return o->toString();
}

}  // namespace torvik_lang
