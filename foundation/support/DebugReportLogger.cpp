#include "foundation/support/DebugReportLogger.h"

#include "foundation/lang/Throwable.h"

namespace util {

_DebugReportLogger::_DebugReportLogger(const _Ref<_ILogger>& n) : _BaseLogger(nullptr, n) {}

void _DebugReportLogger::addString(const _Ref<_String>& text) {
    if (!text) torvik_lang::throwRefException(0);
    if (next) next->addString(text);
}

}  // namespace util
