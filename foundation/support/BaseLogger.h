// A logger that writes texts unchanged to a runtime library stream.
#pragma once

#include <cstdio>

#include "foundation/lang/Array.h"
#include "foundation/support/ILogger.h"

namespace util {

using torvik_lang::_Object;

class _BaseLogger : public _Object, public _ILogger {
public:
    // A null `stream` means standard output. The stream is not closed when the logger
    // goes; only close() closes it.
    _BaseLogger(void* stream, const _Ref<_ILogger>& next);

    void addString(const _Ref<_String>& text) override;
    void addLine(const _Ref<_String>& text) override;
    void logLine(const _Ref<_String>& text) override;
    void write(const _Ref<_String>& text) override;
    void addDot() override;
    void flush() override;
    void close() override;

protected:
    // Writes the characters exactly as they are; nothing once the stream was closed.
    void put(const _Ref<_String>& text);

    FILE* stream;
    _Ref<_ILogger> next;
    _Ref<torvik_lang::_Array<char, _Object>> line;
};

}  // namespace util
