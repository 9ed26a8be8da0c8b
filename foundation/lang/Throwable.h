// The root of all library exceptions. Thrown by value, caught by reference.
//
// Exception objects live in the runtime's exception storage, never on the library
// heap, so they carry the static mark: a reference to a caught exception can never
// delete it.
#pragma once

#include "foundation/lang/String.h"

namespace torvik_lang {

class Throwable : public _Object {
public:
    Throwable();
    explicit Throwable(char const* msg);
    explicit Throwable(const _Ref<_String>& msg);
    Throwable(const Throwable& other);
    Throwable& operator=(const Throwable& other);
    ~Throwable() override;

    _Ref<_String> toString() override;

    virtual _Ref<_String> getMessage();
    virtual _Ref<_String> getLocalizedMessage();
    virtual void printStackTrace(void*);
    virtual int getCode();

    // The message text, or "" when there is none; never throws.
    char const* messageText() const;

protected:
    _Ref<_Object> detail;
    _Ref<_String> message;
};

}  // namespace torvik_lang
