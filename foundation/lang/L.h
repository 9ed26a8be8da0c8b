// Message texts in several languages, and formatting into library strings.
//
// A text such as "{Can't open file '%s'} de{Kann Datei '%s' nicht öffnen}" carries an
// English and a German section; L::getString picks the section of the user's language
// and formats it like printf. Results are interned strings.
#pragma once

#include "foundation/lang/String.h"

namespace torvik_lang {

class L {
public:
    static _Ref<_String> getString(char const* text, ...);
    static _Ref<_String> sprintf(char const* format, ...);
    template <class... Args>
    static _Ref<_String> sprintf(const _Ref<_String>& format, Args... args) {
        if (!format) throwRefException(0);
        return sprintf(format->c_str(), args...);
    }

    // The section of `text` for the current language, unformatted; null when the text
    // has no section at all.
    static _Ref<_String> selectSection(char const* text);

    // Sizes of the reusable buffers (for tests of their growth).
    static int formatBufferSize();
    static int sectionBufferSize();
};

// Re-reads the user's language; also (re)makes _String::emptyString.
void notifyLocaleChanged();

}  // namespace torvik_lang
