// An extension module for the object factory tests: while it is loaded, it registers
// one class and tells the test program that it ran.
#include "foundation/lang/ObjectFactory.h"

extern "C" void glimselFactoryModuleLoaded();

namespace factory_test {

class _Plugged : public torvik_lang::_Object {
public:
    torvik_lang::_Ref<torvik_lang::_String> toString() override { return torvik_lang::_S("plugged"); }
};

namespace {

torvik_lang::ObjectCreator<_Plugged> creator;

struct Registration {
    Registration() {
        _Plugged probe;
        torvik_lang::registerObjectType(torvik_lang::className(probe)->c_str(), &creator);
        glimselFactoryModuleLoaded();
    }
} registration;

}  // namespace

}  // namespace factory_test
