#include "foundation/lang/System.h"

#include <cstdlib>

#include "foundation/data/Parameters.h"
#include "foundation/lang/L.h"
#include "platform/os.h"

namespace torvik_lang {

int64_t System::currentTimeMillis() { return glimsel_os::currentTimeMillis(); }

void System::exit(int code) { std::exit(code); }

void System::sleep(int ms) { glimsel_os::sleepMillis(ms); }

_Ref<util_ds::_Parameters> System::processArgs(int argc, char** argv) {
    _Ref<util_ds::_Parameters> params = new util_ds::_Parameters(17, 0.75f);
    if (argc > 1 && !argv) throwRefException(0);
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        _Ref<_String> s = _S(argv[i], false);
        if (s->size() > 0 && s->charAt(0) == '-') {
            int colon = s->indexOf(':', 0);
            if (colon < 0) {
                params->set(s->substring(1), true);
            } else {
                params->set(s->substring(1, colon), _Ref<_Object>(s->substring(colon + 1)));
            }
        } else {
            _Ref<_String> name = files == 0 ? _S("file") : L::sprintf("file%d", files);
            params->set(name, _Ref<_Object>(s));
            ++files;
        }
    }
    return params;
}

}  // namespace torvik_lang
