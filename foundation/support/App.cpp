#include "foundation/support/App.h"

#include "foundation/support/ConsoleLogger.h"

namespace util {

// Null until start-up.
_Ref<_ILogger> App::log;
_Ref<_String> App::title;

void App::startUp() {
    log = new _ConsoleLogger(false);
    title = _String::emptyString;
}

}  // namespace util
