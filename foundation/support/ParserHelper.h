// Conversion between quoted string literals with backslash escapes and plain text.
#pragma once

#include "foundation/lang/String.h"

namespace util {

using torvik_lang::_Ref;
using torvik_lang::_String;

class ParserHelper {
public:
    // The text of a quoted literal: the first and last characters are dropped as the
    // quotes, and the escapes \n \b \f \r \t, \xHH, \uHHHH (the low byte), one or two
    // octal digits and \ before any other character are resolved. A missing or bad hex
    // digit throws "Illegal hex or unicode constant". The result ends at the first zero
    // byte.
    static _Ref<_String> transformStringLiteral(_Ref<_String> literal);
    // The reverse: `text` in double quotes, with line feed, tab, carriage return, double
    // quote and backslash escaped.
    static _Ref<_String> createEsString(const _Ref<_String>& text);

    // Capacities of the two reusable buffers (for tests of their growth).
    static int literalBufferSize();
    static int escapeBufferSize();
};

}  // namespace util
