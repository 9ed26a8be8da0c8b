// The process-wide logger and application title.
#pragma once

#include "foundation/support/ILogger.h"

namespace util {

class App {
public:
    // Writes to standard output unless the program puts another logger here.
    static _Ref<_ILogger> log;
    static _Ref<_String> title;

    // Makes both; called once during the program's static initialisation.
    static void startUp();
};

}  // namespace util
