// The run-time description of a class: its readable name.
#pragma once

#include "foundation/lang/String.h"

namespace torvik_lang {

class _Class : public _Object {
public:
    explicit _Class(const _Ref<_String>& name) : name(name) {}
    virtual _Ref<_String> getName() { return name; }

private:
    _Ref<_String> name;
};

}  // namespace torvik_lang
