// The library's immutable 8-bit string, and the interning constructor _S.
//
// Equal texts made through _S share one _String, held by a process-wide string table
// that counts how often each text was asked for and forgets rarely used texts once it
// grows beyond 2000 entries.
#pragma once

#include "foundation/lang/Object.h"

namespace torvik_lang {

class _String;

// The interning constructor: the one _String for `text` (made on first request).
// The flag has no effect; it is kept for the callers that pass it.
_Ref<_String> _S(char const* text, bool flag = false);

class _String : public _Object {
public:
    // An empty string.
    _String();
    ~_String() override;
    _String(const _String&) = delete;
    _String& operator=(const _String&) = delete;

    static _Ref<_String> emptyString;

    // _Object
    int hashCode() override;
    bool equals(const _Ref<_Object>& o) override;
    bool equals(char const* text) override;
    _Ref<_String> toString() override;

    virtual int length();
    virtual _Ref<_String> toOEM();
    virtual _Ref<_String> toLowerCase();
    virtual _Ref<_String> toUpperCase();
    virtual int indexOf(const _Ref<_String>& s, int from);
    virtual int indexOf(char const* s, int from);
    virtual int indexOf(char const* s, int n, int from);
    virtual int indexOf(char c, int from);
    virtual int lastIndexOf(char c, int from);
    virtual int lastIndexOf(char c);
    virtual bool startsWith(const _Ref<_String>& s, int offset);
    virtual bool endsWith(const _Ref<_String>& s);
    virtual _Ref<_String> substring(int begin, int end);
    virtual _Ref<_String> substring(int begin);
    virtual _Ref<_String> trim();
    virtual _Ref<_String> replace(char from, char to);
    virtual int compareTo(const _Ref<_String>& s);

    bool startsWith(const _Ref<_String>& s) { return startsWith(s, 0); }

    _Ref<_String> operator+(const _Ref<_String>& other);

    static _Ref<_String> valueOf(int v);
    static _Ref<_String> valueOf(double v);
    static _Ref<_String> valueOf(const _Ref<_Object>& o);

    char const* c_str() const { return data; }
    int size() const { return len; }
    char charAt(int i) const;
    int getUseCount() const { return useCount; }

    // The number of texts the string table holds (for diagnostics and tests).
    static int internedCount();

private:
    friend _Ref<_String> _S(char const* text, bool flag);
    friend class StringTable;

    struct Borrowed {};
    // A lookup key that points at the caller's text without copying it.
    _String(Borrowed, char const* text);
    // A copy of `n` characters of `text`.
    _String(char const* text, int n);
    static _Ref<_String> make(char const* text, int n);

    char* data = nullptr;
    int len = 0;
    int useCount = 0;
};

}  // namespace torvik_lang
