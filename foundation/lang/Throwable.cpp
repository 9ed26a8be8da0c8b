#include "foundation/lang/Throwable.h"

#include "foundation/lang/L.h"

namespace torvik_lang {

Throwable::Throwable() { count = STATIC_MARK; }

Throwable::Throwable(char const* msg) : message(msg ? _S(msg) : nullptr) { count = STATIC_MARK; }

Throwable::Throwable(const _Ref<_String>& msg) : message(msg) { count = STATIC_MARK; }

Throwable::Throwable(const Throwable& other)
    : _Object(other), detail(other.detail), message(other.message) {
    count = STATIC_MARK;
}

Throwable& Throwable::operator=(const Throwable& other) {
    detail = other.detail;
    message = other.message;
    return *this;
}

Throwable::~Throwable() = default;

_Ref<_String> Throwable::toString() {
    _Ref<_String> c = className(*this);
    if (!message) return c;
    return L::sprintf("%s : %s", c->c_str(), message->c_str());
}

_Ref<_String> Throwable::getMessage() { return message; }

_Ref<_String> Throwable::getLocalizedMessage() { return getMessage(); }

void Throwable::printStackTrace(void*) {}

int Throwable::getCode() { return 0; }

char const* Throwable::messageText() const { return message ? message->c_str() : ""; }

}  // namespace torvik_lang
