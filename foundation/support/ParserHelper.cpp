#include "foundation/support/ParserHelper.h"

#include <climits>

#include "foundation/lang/Array.h"
#include "foundation/lang/Throwable.h"

namespace util {

using torvik_lang::_Object;
using torvik_lang::_S;
using torvik_lang::Throwable;

namespace {

using CharArray = torvik_lang::_Array<char, _Object>;

constexpr char const* BAD_HEX = "Illegal hex or unicode constant";
constexpr char const* BAD_OCTAL = "Illegal octal constant";

// The two buffers live as long as the process and only grow. Every write goes through
// put(), which checks the index and grows the storage to n * 10 / 9 + 10 elements.
_Ref<CharArray>& literalBuffer() {
    static _Ref<CharArray> buffer = new CharArray(100);
    return buffer;
}

_Ref<CharArray>& escapeBuffer() {
    static _Ref<CharArray> buffer = new CharArray(100);
    return buffer;
}

// Reads the characters of an escape: `end` is one past the last readable character.
class EscapeReader {
public:
    EscapeReader(char const* text, int pos, int end) : text(text), pos(pos), end(end) {}

    int hexDigit() {
        if (pos >= end) throw Throwable(BAD_HEX);
        char c = text[pos++];
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        throw Throwable(BAD_HEX);
    }

    static int octalDigit(char c) {
        if (c < '0' || c > '7') throw Throwable(BAD_OCTAL);
        return c - '0';
    }

    bool nextIsOctal() const { return pos < end && text[pos] >= '0' && text[pos] <= '7'; }
    char take() { return text[pos++]; }
    int position() const { return pos; }

private:
    char const* text;
    int pos;
    int end;
};

}  // namespace

_Ref<_String> ParserHelper::transformStringLiteral(_Ref<_String> literal) {
    if (!literal) torvik_lang::throwRefException(0);
    char const* text = literal->c_str();
    int n = literal->size();
    // The content lies between the first and the last character. An escape may reach
    // into the last one (a backslash just before the closing quote escapes the quote),
    // never beyond it.
    int contentEnd = n - 1;
    CharArray& out = *literalBuffer();
    int length = 0;
    for (int i = 1; i < contentEnd;) {
        char c = text[i++];
        if (c != '\\') {
            out.put(length++, c);
            continue;
        }
        // A backslash has at least the closing character after it.
        EscapeReader r(text, i + 1, n);
        char e = text[i];
        int value;
        switch (e) {
            case 'n': value = 10; break;
            case 'b': value = 8; break;
            case 'f': value = 12; break;
            case 'r': value = 13; break;
            case 't': value = 9; break;
            case 'x': {
                int high = r.hexDigit();
                value = high * 16 + r.hexDigit();
                break;
            }
            case 'u': {
                // The first two digits are checked and dropped: the text is 8-bit.
                r.hexDigit();
                r.hexDigit();
                int high = r.hexDigit();
                value = high * 16 + r.hexDigit();
                break;
            }
            case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7':
                value = EscapeReader::octalDigit(e);
                if (r.nextIsOctal()) value = value * 8 + EscapeReader::octalDigit(r.take());
                break;
            default:
                value = static_cast<unsigned char>(e);
                break;
        }
        out.put(length++, static_cast<char>(value));
        i = r.position();
    }
    out.put(length, 0);
    return _S(out.data, true);
}

_Ref<_String> ParserHelper::createEsString(const _Ref<_String>& text) {
    if (!text) torvik_lang::throwRefException(0);
    char const* s = text->c_str();
    int n = text->size();
    // Every character may double, and the quotes and the end mark come on top.
    if (n > (INT_MAX - 3) / 2) throw Throwable("String too long");
    CharArray& out = *escapeBuffer();
    int length = 0;
    out.put(length++, '"');
    for (int i = 0; i < n; ++i) {
        char c = s[i];
        char escaped = 0;
        switch (c) {
            case '\n': escaped = 'n'; break;
            case '\t': escaped = 't'; break;
            case '\r': escaped = 'r'; break;
            case '"': escaped = '"'; break;
            case '\\': escaped = '\\'; break;
            default: break;
        }
        if (escaped) {
            out.put(length++, '\\');
            out.put(length++, escaped);
        } else {
            out.put(length++, c);
        }
    }
    out.put(length++, '"');
    out.put(length, 0);
    return _S(out.data, true);
}

int ParserHelper::literalBufferSize() { return literalBuffer()->capacity; }

int ParserHelper::escapeBufferSize() { return escapeBuffer()->capacity; }

}  // namespace util
