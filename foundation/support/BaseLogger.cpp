#include "foundation/support/BaseLogger.h"

#include <climits>
#include <cstring>

#include "foundation/lang/Throwable.h"

namespace util {

using torvik_lang::_S;

_BaseLogger::_BaseLogger(void* s, const _Ref<_ILogger>& n)
    : stream(s ? static_cast<FILE*>(s) : stdout), next(n), line(new torvik_lang::_Array<char, _Object>(80)) {}

void _BaseLogger::put(const _Ref<_String>& text) {
    if (stream) std::fwrite(text->c_str(), 1, static_cast<size_t>(text->size()), stream);
}

void _BaseLogger::addString(const _Ref<_String>& text) {
    if (!text) torvik_lang::throwRefException(0);
    put(text);
    if (stream) std::fflush(stream);
    if (next) next->addString(text);
}

void _BaseLogger::addLine(const _Ref<_String>& text) {
    if (!text) return;
    int length = text->size();
    int lead = (length > 0 && text->c_str()[0] == '\n') ? 0 : 1;
    if (length > INT_MAX - 2) throw torvik_lang::Throwable("String too long");
    line->setLength(lead + length + 1);
    char* buffer = line->data;
    if (lead) buffer[0] = '\n';
    std::memcpy(buffer + lead, text->c_str(), static_cast<size_t>(length));
    buffer[lead + length] = 0;
    addString(_S(buffer, false));
}

void _BaseLogger::logLine(const _Ref<_String>& text) { addLine(text); }

void _BaseLogger::write(const _Ref<_String>& text) { addString(text); }

void _BaseLogger::addDot() {
    // Kept until the process ends.
    static _Ref<_String> dot = _S(".");
    addString(dot);
}

void _BaseLogger::flush() {}

void _BaseLogger::close() {
    // The stream is forgotten once closed, so later texts and a second close cannot
    // touch a closed stream.
    if (stream && stream != stdout && stream != stderr) {
        std::fclose(stream);
        stream = nullptr;
    }
}

}  // namespace util
