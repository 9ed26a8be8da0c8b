// A sink for diagnostic texts. Loggers can be chained: each hands every text on to the
// next one after writing it.
#pragma once

#include "foundation/lang/String.h"

namespace util {

using torvik_lang::_Ref;
using torvik_lang::_String;

class _ILogger {
public:
    virtual void addString(const _Ref<_String>& text) = 0;
    // Writes `text` on a line of its own: the newline comes before the text.
    virtual void addLine(const _Ref<_String>& text) = 0;
    virtual void logLine(const _Ref<_String>& text) = 0;
    virtual void write(const _Ref<_String>& text) = 0;
    virtual void addDot() = 0;
    virtual void flush() = 0;
    // Gives the output stream back (standard output and standard error stay open).
    virtual void close() = 0;

protected:
    virtual ~_ILogger() = default;
};

}  // namespace util
