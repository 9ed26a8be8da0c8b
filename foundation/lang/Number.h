// The boxed numbers' common base: every number converts to every primitive width.
#pragma once

#include <cstdint>

#include "foundation/lang/Object.h"

namespace torvik_lang {

class _Number : public _Object {
public:
    virtual int intValue() = 0;
    virtual int64_t longValue() = 0;
    virtual float floatValue() = 0;
    virtual double doubleValue() = 0;
    virtual int8_t byteValue() = 0;
    virtual int16_t shortValue() = 0;
};

}  // namespace torvik_lang
