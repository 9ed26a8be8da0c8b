#include "foundation/lang/L.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "foundation/lang/Throwable.h"
#include "platform/os.h"

namespace torvik_lang {

namespace {

constexpr char const* NOT_FOUND = "{Could not find string '%s'} de{Konnte Zeichenkette '%s' nicht finden}";

// The two reusable buffers start at 100 bytes and only grow.
std::vector<char>& sectionBuffer() {
    static std::vector<char> buffer(100);
    return buffer;
}

std::vector<char>& formatBuffer() {
    static std::vector<char> buffer(100);
    return buffer;
}

_Ref<_String>& languageMarker() {
    static _Ref<_String> marker;
    return marker;
}

_Ref<_String> vformat(char const* format, va_list args) {
    std::vector<char>& buffer = formatBuffer();
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = std::vsnprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (n < 0) throw Throwable("Invalid format");
        if (static_cast<size_t>(n) < buffer.size()) break;
        buffer.resize(buffer.size() + 100);
    }
    return _S(buffer.data());
}

}  // namespace

_Ref<_String> L::selectSection(char const* text) {
    _Ref<_String> s = _S(text);
    if (s->length() == 0 || s->c_str()[0] != '{') return s;
    _Ref<_String> marker = languageMarker();
    int m = marker ? s->indexOf(marker, 0) : 0;
    int i = s->indexOf('{', m > 0 ? m : 0);
    if (i < 0) return nullptr;

    std::vector<char>& buffer = sectionBuffer();
    size_t needed = static_cast<size_t>(s->length() - i);
    if (buffer.size() < needed) buffer.assign(needed, 0);

    char const* p = s->c_str() + i + 1;
    size_t out = 0;
    while (*p && *p != '}') {
        if (*p == '\\') {
            ++p;
            if (!*p) break;  // a backslash at the very end escapes nothing
        }
        buffer[out++] = *p++;
    }
    buffer[out] = 0;
    return _S(buffer.data());
}

_Ref<_String> L::getString(char const* text, ...) {
    _Ref<_String> section = selectSection(text);
    if (!section) {
        _Ref<_String> notFound = selectSection(NOT_FOUND);
        return sprintf(notFound->c_str(), text);
    }
    va_list args;
    va_start(args, text);
    _Ref<_String> result;
    try {
        result = vformat(section->c_str(), args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
    return result;
}

_Ref<_String> L::sprintf(char const* format, ...) {
    if (!format) throwRefException(0);
    va_list args;
    va_start(args, format);
    _Ref<_String> result;
    try {
        result = vformat(format, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
    return result;
}

int L::formatBufferSize() { return static_cast<int>(formatBuffer().size()); }

int L::sectionBufferSize() { return static_cast<int>(sectionBuffer().size()); }

void notifyLocaleChanged() {
    _String::emptyString = _S("");
    languageMarker() = glimsel_os::userLanguageIsGerman() ? _S("de{") : _String::emptyString;
}

}  // namespace torvik_lang
