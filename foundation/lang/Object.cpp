#include "foundation/lang/Object.h"

#include <cstdint>
#include <cstdlib>
#include <cxxabi.h>
#include <cstring>
#include <memory>
#include <typeinfo>

#include "foundation/lang/Class.h"
#include "foundation/lang/L.h"
#include "foundation/lang/Throwable.h"

namespace torvik_lang {

void throwRefException(int) { throw Throwable(); }

void _ICountable::release() {
    if (count == STATIC_MARK) return;
    if (--count == 0) delete this;
}

void* _ICountable::operator new(size_t n) {
    if (n > 0xFFFFFFFFu) throw std::bad_alloc();
    void* p = osAlloc(static_cast<unsigned int>(n));
    if (!p) throw std::bad_alloc();
    return p;
}

void _ICountable::operator delete(void* p) noexcept { osFree(p); }

void _Object::finalize() {}

int _Object::hashCode() { return static_cast<int>(reinterpret_cast<uintptr_t>(this)); }

bool _Object::equals(const _Ref<_Object>& o) { return o.get() == this; }

bool _Object::equals(char const* text) {
    char const* mine = toCstr();
    return text && mine && std::strcmp(mine, text) == 0;
}

_Ref<_Object> _Object::clone() { return nullptr; }

_Ref<_String> _Object::toString() {
    return L::sprintf("[object 0x%llx]",
                      static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)));
}

char const* _Object::toCstr() {
    // The characters stay alive through the string table (or through this object, for a
    // string), not through the temporary reference released here.
    _Ref<_String> s = toString();
    if (!s) throwRefException(0);
    return s->c_str();
}

_Ref<_Class> _Object::getClass() { return new _Class(className(*this)); }

_Ref<_String> className(const _ICountable& object) {
    char const* mangled = typeid(object).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> readable(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    char const* name = (status == 0 && readable) ? readable.get() : mangled;
    return L::sprintf("class %s", name);
}

}  // namespace torvik_lang
