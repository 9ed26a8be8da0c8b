#include "foundation/lang/Memory.h"

#include <cstdlib>
#include <cstring>

#include "platform/os.h"

namespace torvik_lang {

void* osAlloc(unsigned int n) {
    // calloc of 0 bytes may return null; callers treat null as exhaustion, so ask for 1.
    return std::calloc(n ? n : 1, 1);
}

void osFree(void* p) { std::free(p); }

void osMemSet(void* p, int value, int n) {
    if (n > 0) std::memset(p, value, static_cast<size_t>(n));
}

void osMemMove(void* dst, void const* src, int n) {
    if (n > 0) std::memmove(dst, src, static_cast<size_t>(n));
}

void* jmemSet(void* p, int value, unsigned int n) {
    if (n) std::memset(p, value, n);
    return p;
}

void* jmemMove(void* dst, void const* src, int n) {
    osMemMove(dst, src, n);
    return dst;
}

void jDebugBreak(char const*, int, char const*) { glimsel_os::debugBreak(); }

}  // namespace torvik_lang
