#include "foundation/lang/Boolean.h"

namespace torvik_lang {

// Constant-initialised (null), so that no dynamic initialisation of this file can undo
// what the start-up stored, whichever runs first.
_Ref<_Boolean> _Boolean::TRUE_;
_Ref<_Boolean> _Boolean::FALSE_;

int _Boolean::hashCode() { return value ? 1231 : 1237; }

bool _Boolean::equals(const _Ref<_Object>& o) {
    _Boolean* other = dynamic_cast<_Boolean*>(o.get());
    return other && other->value == value;
}

_Ref<_String> _Boolean::toString() { return _S(value ? "true" : "false"); }

bool _Boolean::booleanValue() { return value; }

void _Boolean::startUp() {
    if (!TRUE_) TRUE_ = new _Boolean(true);
    if (!FALSE_) FALSE_ = new _Boolean(false);
}

}  // namespace torvik_lang
