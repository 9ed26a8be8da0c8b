// The foundation library's process-wide objects, made before main() in this order:
// the message texts and the language choice (which makes the empty string), then the
// null stand-in of _Hashtable2. Every object defined here is also safe to use before
// this runs: the string table is made on first use.
#include "foundation/containers/Hashtable2.h"
#include "foundation/io/File.h"
#include "foundation/lang/Boolean.h"
#include "foundation/lang/L.h"
#include "foundation/support/App.h"

namespace torvik_lang {
_Ref<_String> _String::emptyString;
}

namespace util {
_Ref<_Object> _Hashtable2::nullObj;
}

namespace {

struct FoundationStartup {
    FoundationStartup() {
        torvik_lang::notifyLocaleChanged();
        torvik_io::_File::setPathStyle(glimsel_os::nativePathStyle());
        util::App::startUp();
        torvik_lang::_Boolean::startUp();  // [numbers start-up]
        util::_Hashtable2::nullObj = new torvik_lang::_Object();
    }
};

FoundationStartup startup;

}  // namespace
