// A link of a logger chain that writes nothing itself and only hands texts on.
#pragma once

#include "foundation/support/BaseLogger.h"

namespace util {

class _DebugReportLogger : public _BaseLogger {
public:
    explicit _DebugReportLogger(const _Ref<_ILogger>& next);

    void addString(const _Ref<_String>& text) override;
};

}  // namespace util
