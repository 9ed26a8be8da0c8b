// A boxed truth value.
#pragma once

#include "foundation/lang/String.h"

namespace torvik_lang {

class _Boolean : public _Object {
public:
    explicit _Boolean(bool value) : value(value) {}

    // The two shared values, made by the library's start-up. Null before it.
    static _Ref<_Boolean> TRUE_;
    static _Ref<_Boolean> FALSE_;

    // 1231 for true, 1237 for false.
    int hashCode() override;
    bool equals(const _Ref<_Object>& o) override;
    using _Object::equals;
    _Ref<_String> toString() override;

    virtual bool booleanValue();

    // Makes TRUE_ and FALSE_ (once); called by the library's start-up.
    static void startUp();

    bool value;
};

}  // namespace torvik_lang
