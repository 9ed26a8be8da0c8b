#include "foundation/support/ConsoleLogger.h"

#include "foundation/lang/Throwable.h"

namespace util {

// A POSIX process already writes standard output to its terminal, if it has one; there
// is no console to make.
_ConsoleLogger::_ConsoleLogger(bool) : _BaseLogger(nullptr, nullptr) {}

_ConsoleLogger::_ConsoleLogger(void* s, const _Ref<_ILogger>& n) : _BaseLogger(s, n) {}

void _ConsoleLogger::addString(const _Ref<_String>& text) {
    if (!text) torvik_lang::throwRefException(0);
    put(text->toOEM());
    // The next logger gets the text as it came, not in the console's code page.
    if (next) next->addString(text);
    if (stream) std::fflush(stream);
}

}  // namespace util
