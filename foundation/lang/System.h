// Process services: the clock, sleeping, ending the process and reading its arguments.
#pragma once

#include <cstdint>

#include "foundation/lang/Object.h"

namespace util_ds {
class _Parameters;
}

namespace torvik_lang {

class System {
public:
    // Milliseconds since 1970-01-01 00:00 UTC.
    static int64_t currentTimeMillis();
    // Ends the process through the runtime library; static destructors run.
    [[noreturn]] static void exit(int code);
    static void sleep(int ms);

    // The arguments argv[1] .. argv[argc - 1] as a parameter set: "-name:value" stores
    // the string after the first colon under `name`, "-flag" stores true under `flag`,
    // and any other argument is a file name, stored under "file", "file1", "file2" ...
    static _Ref<util_ds::_Parameters> processArgs(int argc, char** argv);
};

}  // namespace torvik_lang
