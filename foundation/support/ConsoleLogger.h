// The logger of a console program: texts go in the console's code page to standard output.
#pragma once

#include "foundation/support/BaseLogger.h"

namespace util {

class _ConsoleLogger : public _BaseLogger {
public:
    // With `ownConsole` the process gets a console of its own where the platform has
    // such a thing; elsewhere standard output is already the console.
    explicit _ConsoleLogger(bool ownConsole);
    // Writes to `stream` (standard output when null) and hands texts on to `next`.
    _ConsoleLogger(void* stream, const _Ref<_ILogger>& next);

    void addString(const _Ref<_String>& text) override;
};

}  // namespace util
